# Entry points for people and CI. Everything runs from a fresh clone: bootstrap installs what is missing.
BUILD ?= build
TOOLCHAIN := cmake/mingw-w64.cmake
JOBS ?= $(shell nproc)

.PHONY: all setup configure build test run bench installer release release-test clean

all: build

setup:
	@scripts/bootstrap

configure: setup
	@[ -f $(BUILD)/CMakeCache.txt ] || cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS) -- --no-print-directory

test: build
	@cd $(BUILD) && ctest --output-on-failure

run: build
	@scripts/run-umbrix $(BUILD)

bench: build
	@cmake --build $(BUILD) --target benchmarks -j $(JOBS) -- --no-print-directory
	@scripts/run-benchmarks $(BUILD)

installer: build
	@scripts/make-installer $(BUILD)

# A reproducible release in $(BUILD)/release (scripts/make-release). Signed when UMBRIX_SIGN_PFX
# and UMBRIX_SIGN_PASSWORD (optionally UMBRIX_TIMESTAMP_URL) are given, here or in the
# environment; UMBRIX_DOWNLOAD_URL is the folder the winget manifest downloads the installer from.
export UMBRIX_SIGN_PFX UMBRIX_SIGN_PASSWORD UMBRIX_TIMESTAMP_URL UMBRIX_DOWNLOAD_URL
release: setup
	@scripts/make-release $(BUILD)

# Two releases from clean clones must be identical; signing, the manifest and the installer.
release-test: build
	@tests/release/release-test.sh . $(BUILD)

clean:
	rm -rf $(BUILD)
