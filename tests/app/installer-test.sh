#!/bin/sh
# Installs umbrix-setup.exe silently into the test prefix, checks the program, the uninstaller
# and the Start-menu entry, then uninstalls silently and checks that all of it is gone.
#   installer-test.sh SOURCE_DIR BUILD_DIR
set -eu
src=$1
build=$(cd "$2" && pwd)
run() { "$src/scripts/wine-run" --build "$build" "$@"; }

prefix="$build/wine/prefix/drive_c"
app="$prefix/Program Files/Umbrix"
menu="$prefix/ProgramData/Microsoft/Windows/Start Menu/Programs/Umbrix"
failures=0
check() {  # description, then a test command
    what=$1; shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
gone() { [ ! -e "$1" ]; }

[ -f "$build/umbrix-setup.exe" ] || { echo "FAILED: $build/umbrix-setup.exe missing"; exit 1; }
rm -rf "$app" "$menu"

run "$build/umbrix-setup.exe" /S
check "umbrix.exe installed in Program Files" cmp -s "$build/umbrix.exe" "$app/umbrix.exe"
check "uninstaller installed" test -f "$app/uninstall.exe"
check "Start-menu entry" test -f "$menu/Umbrix.lnk"
check "Start-menu entry for the uninstaller" test -f "$menu/Umbrix entfernen.lnk"

# The uninstaller copies itself away and finishes in the background: wait for it.
run "C:\\Program Files\\Umbrix\\uninstall.exe" /S
i=0
while { [ -e "$app" ] || [ -e "$menu" ]; } && [ $i -lt 100 ]; do sleep 0.2; i=$((i + 1)); done
check "program folder removed" gone "$app"
check "Start-menu folder removed" gone "$menu"

[ $failures -eq 0 ]
