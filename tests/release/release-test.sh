#!/bin/sh
# Checks `make release` as someone who downloads a release would:
# - two clean clones of the current commit, in folders of different names, built one after
#   the other with different time zones, umasks and source file times, give the same bytes;
# - each release's checksums, debug link, zip and winget manifest hold (check-release.py);
# - the release installs and uninstalls in the Wine prefix of BUILD_DIR (installer-test.sh);
# - signed with a throwaway certificate, the program, the installer and the installed
#   uninstaller verify with osslsigncode, and one changed byte makes verification fail.
#   release-test.sh SOURCE_DIR BUILD_DIR
set -eu
src=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
commit=$(git -C "$src" rev-parse HEAD)
tmp=$(mktemp -d "${TMPDIR:-/tmp}/umbrix-release.XXXXXX")
# The installer test starts a wineserver and a display for the build's prefix: stop them again.
trap 'rm -rf "$tmp"; "$src/scripts/wine-run" --build "$build" --stop' EXIT
failures=0
check() {  # description, then a test command
    what=$1; shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
fails() { ! "$@" >/dev/null 2>&1; }
clone() { git clone -q --no-checkout "$src" "$1" && git -C "$1" checkout -q --detach "$commit"; }
release() {  # clone folder, log name, then environment settings for make-release
    folder=$1 log=$2; shift 2
    if ! (cd "$folder" && env -u SOURCE_DATE_EPOCH "$@" scripts/make-release build) >"$tmp/$log.log" 2>&1; then
        cat "$tmp/$log.log"; echo "FAILED: make-release ($log)"; exit 1
    fi
    sed -n '/^release /,$p' "$tmp/$log.log"
}

a=$tmp/a
b=$tmp/second-clone-in-a-longer-folder
clone "$a"
clone "$b"
# The second clone's sources carry other file times.
find "$b" -name .git -prune -o -type f -exec touch -d '2001-02-03 04:05:06' {} +

release "$a" a TZ=UTC
sleep 2
release "$b" b TZ=Asia/Tokyo UMBRIX_DOWNLOAD_URL=https://downloads.example.invalid/umbrix/
ra=$a/build/release rb=$b/build/release
zip=$(cd "$ra" && ls umbrix-*-portable.zip)
for f in umbrix.exe umbrix.debug umbrix.com umbrix.com.debug umbrix-setup.exe "$zip"; do
    if cmp -s "$ra/$f" "$rb/$f"; then
        echo "ok: $f identical in both builds ($(sha256sum <"$ra/$f" | cut -c1-64))"
    else
        echo "FAILED: $f differs: $(cmp -l "$ra/$f" "$rb/$f" | wc -l) bytes, first: $(cmp -l "$ra/$f" "$rb/$f" | head -3 | tr '\n' ' ')"
        failures=$((failures + 1))
    fi
done
no_folder() { ! strings -a "$1" | grep -q -e "$tmp" -e "$src"; }
check "no build folder in umbrix.exe" no_folder "$rb/umbrix.exe"
check "no build folder in umbrix.debug" no_folder "$rb/umbrix.debug"
check "no build folder in umbrix.com" no_folder "$rb/umbrix.com"
check "unsigned release says so" grep -q UNSIGNED "$tmp/a.log"
check "unsigned program does not verify" fails osslsigncode verify -in "$ra/umbrix.exe"

python3 "$src/tests/release/check-release.py" "$ra" https://umbrix.example.org/umbrix-setup.exe || failures=$((failures + 1))
python3 "$src/tests/release/check-release.py" "$rb" https://downloads.example.invalid/umbrix/umbrix-setup.exe ||
    failures=$((failures + 1))
check "release umbrix.exe's PE header" /usr/bin/python3 "$src/tests/release/check-pe.py" "$ra/umbrix.exe"
check "release umbrix.com's PE header" /usr/bin/python3 "$src/tests/release/check-pe.py" "$ra/umbrix.com"
for program in umbrix.exe umbrix.com umbrix-path.exe; do
    check "release build's $program: PE header and symbols" \
        /usr/bin/python3 "$src/tests/release/check-pe.py" --symbols "$a/build/release-tree/$program"
done
sh "$src/tests/app/installer-test.sh" "$src" "$build" "$ra" || failures=$((failures + 1))

# A throwaway code-signing certificate, its own CA.
cert=$tmp/cert
mkdir "$cert"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$cert/key.pem" -out "$cert/cert.pem" -days 2 \
    -subj "/CN=Umbrix Test Signing" -addext extendedKeyUsage=codeSigning 2>/dev/null
openssl pkcs12 -export -inkey "$cert/key.pem" -in "$cert/cert.pem" -out "$cert/sign.pfx" \
    -passout pass:test-geheim
cp "$ra/umbrix.exe" "$tmp/unsigned.exe"
refused() {  # a signed release without a download address stops at once and says why
    ! (cd "$a" && env -u UMBRIX_DOWNLOAD_URL UMBRIX_SIGN_PFX="$cert/sign.pfx" UMBRIX_SIGN_PASSWORD=test-geheim \
        scripts/make-release build) >"$tmp/refused.log" 2>&1 &&
        grep -q "needs UMBRIX_DOWNLOAD_URL" "$tmp/refused.log" && cmp -s "$ra/umbrix.exe" "$tmp/unsigned.exe"
}
check "a signed release without UMBRIX_DOWNLOAD_URL is refused" refused
release "$a" signed UMBRIX_SIGN_PFX="$cert/sign.pfx" UMBRIX_SIGN_PASSWORD=test-geheim \
    UMBRIX_DOWNLOAD_URL=https://downloads.example.invalid/signed
verify() { osslsigncode verify -CAfile "$cert/cert.pem" -in "$1" >"$tmp/verify.out" 2>&1; }
for f in umbrix.exe umbrix.com umbrix-setup.exe; do
    if verify "$ra/$f"; then
        echo "ok: $f signed: $(grep -E '^(Message digest algorithm|Signature verification|Number of verified signatures) *:' "$tmp/verify.out" | tr -s ' ' | tr '\n' ';')"
    else
        cat "$tmp/verify.out"; echo "FAILED: $f signature"; failures=$((failures + 1))
    fi
done
check "signing added only the signature to umbrix.exe" \
    python3 "$src/tests/release/signature-only.py" "$ra/umbrix.exe" "$tmp/unsigned.exe"
check "signed release does not say unsigned" fails grep -q UNSIGNED "$tmp/signed.log"
python3 "$src/tests/release/check-release.py" "$ra" https://downloads.example.invalid/signed/umbrix-setup.exe >/dev/null ||
    { echo "FAILED: signed release's checks"; failures=$((failures + 1)); }
UMBRIX_TEST_CA=$cert/cert.pem sh "$src/tests/app/installer-test.sh" "$src" "$build" "$ra" ||
    failures=$((failures + 1))

# One changed byte in the code, or in the installer's packed data, breaks the signature.
flip() { python3 -c 'import sys; p, at = sys.argv[1], int(sys.argv[2]); b = bytearray(open(p, "rb").read()); b[at] ^= 1; open(p, "wb").write(b)' "$@"; }
cp "$ra/umbrix.exe" "$tmp/changed.exe"
flip "$tmp/changed.exe" 4096
check "a changed byte in umbrix.exe fails verification" fails verify "$tmp/changed.exe"
cp "$ra/umbrix-setup.exe" "$tmp/changed-setup.exe"
flip "$tmp/changed-setup.exe" $(($(stat -c %s "$ra/umbrix-setup.exe") / 2))
check "a changed byte in umbrix-setup.exe fails verification" fails verify "$tmp/changed-setup.exe"
check "a wrong password is refused" fails env UMBRIX_SIGN_PFX="$cert/sign.pfx" UMBRIX_SIGN_PASSWORD=wrong \
    "$src/scripts/sign-file" "$tmp/unsigned.exe"

[ $failures -eq 0 ] && echo "release test: all passed"
[ $failures -eq 0 ]
