#!/bin/sh
# Installs umbrix-setup.exe silently into the test prefix, checks the programs (umbrix.exe and
# umbrix.com), the uninstaller, the shortcuts, the entry in Programs and Features, App Paths,
# that PATH is left alone, and Explorer's cascading menu (worked as Explorer works it by
# app_menu_entries_check.exe); installs it once more through its pages, leaving the menu out,
# and lets the finish page start Umbrix; silently again with /NOMENU, and with /DESKTOP /PATH
# over a PATH longer than NSIS's strings; then uninstalls silently and checks that all of it is
# gone and PATH is as it was, to the character.
#   installer-test.sh SOURCE_DIR BUILD_DIR [RELEASE_DIR]
# BUILD_DIR holds the Wine prefix; the installer and the program it must install are in
# RELEASE_DIR (default BUILD_DIR). A release's winget manifest names the uninstall entry, and
# with UMBRIX_TEST_CA set the installed uninstaller must carry a signature from that CA.
set -eu
src=$1
build=$(cd "$2" && pwd)
dir=$(cd "${3:-$2}" && pwd)
run() { "$src/scripts/wine-run" --build "$build" "$@"; }

prefix="$build/wine/prefix/drive_c"
app="$prefix/Program Files/Umbrix"
menu="$prefix/ProgramData/Microsoft/Windows/Start Menu/Programs/Umbrix"
desktop="$prefix/users/Public/Desktop/Umbrix.lnk"
product_code=Umbrix
if [ -d "$dir/winget" ]; then
    product_code=$(sed -n 's/^ProductCode: //p' "$dir"/winget/*.installer.yaml)
fi
key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$product_code"
failures=0
check() {  # description, then a test command
    what=$1; shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
gone() { [ ! -e "$1" ]; }
# One value of the uninstall entry as reg.exe prints it (REG_DWORD as 0x...), or nothing.
value() { run reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_[A-Z_]* *//p"; }
# Explorer's cascading menu: on folders, on a folder's background and on drives.
cascades="Directory\\shell\\Umbrix Directory\\Background\\shell\\Umbrix Drive\\shell\\Umbrix"
has_key() { run reg query "$1" >/dev/null 2>&1; }
no_key() { ! has_key "$1" || { echo "   $1 is still there"; return 1; }; }
menu_entries() {  # present|absent
    for cascade in $cascades; do
        if [ "$1" = present ]; then has_key "HKLM\\Software\\Classes\\$cascade\\shell" || return 1
        else ! has_key "HKLM\\Software\\Classes\\$cascade" || return 1; fi
    done
}
app_paths="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\umbrix.exe"
app_path() { run reg query "$app_paths" /v Path 2>/dev/null | tr -d '\r' | sed -n 's/^ *Path *REG_SZ *//p'; }
app_program() { run reg query "$app_paths" /ve 2>/dev/null | tr -d '\r' | sed -n 's/^ *([^)]*) *REG_SZ *//p'; }
# The machine's PATH, its type and its text, as one line.
environment="HKLM\\System\\CurrentControlSet\\Control\\Session Manager\\Environment"
search_path() { run reg query "$environment" /v PATH | tr -d '\r' | sed -n 's/^ *PATH *//p'; }
set_search_path() { run reg add "$environment" /v PATH /t REG_EXPAND_SZ /d "$1" /f >/dev/null; }
# The checks of app_menu_entries_check.exe, its report shown when one fails.
menu_check() {
    run "$build/tests/app/app_menu_entries_check.exe" >"$build/menu-entries-check.log" 2>&1 ||
        { grep -v '^\[ *\(RUN\|OK\) ' "$build/menu-entries-check.log" | sed 's/^/   /'; return 1; }
}
is() { [ "$1" = "$2" ] || { echo "   got \"$1\", want \"$2\""; return 1; }; }
sized() { [ -n "$1" ] && [ $(($1)) -gt 0 ]; }
signed() { osslsigncode verify -CAfile "$UMBRIX_TEST_CA" -in "$1" >/dev/null 2>&1; }
# Windows processes as "name parent-id id" lines (wmic writes UTF-16).
processes() { run wmic process get Name,ParentProcessId,ProcessId | iconv -f UTF-16 -t UTF-8 | tr -d '\r'; }
pid_of() { processes | awk -v name="$1" 'tolower($1) == name { print $3; exit }'; }
parent_of() { processes | awk -v id="$1" '$3 == id { print $2; exit }'; }
wait_for() {  # a test command, tried for up to 30 s
    i=0
    while ! "$@" && [ $i -lt 60 ]; do sleep 0.5; i=$((i + 1)); done
    "$@"
}
running() { [ -n "$(pid_of "$1")" ]; }
not_running() { ! running "$1"; }
other_process() { [ -n "$1" ] && [ -n "$2" ] && [ "$1" != "$2" ] || { echo "   parent \"$1\", setup \"$2\""; return 1; }; }

[ -f "$dir/umbrix-setup.exe" ] || { echo "FAILED: $dir/umbrix-setup.exe missing"; exit 1; }
rm -rf "$app" "$menu" "$desktop"
# The prefix's own PATH comes back whatever happens.
original_path=$(run reg query "$environment" /v PATH | tr -d '\r' | sed -n 's/^ *PATH *REG_EXPAND_SZ *//p')
trap 'set_search_path "$original_path"' EXIT

run "$dir/umbrix-setup.exe" /S
check "umbrix.exe installed in Program Files" cmp -s "$dir/umbrix.exe" "$app/umbrix.exe"
check "umbrix.com installed beside it" cmp -s "$dir/umbrix.com" "$app/umbrix.com"
check "uninstaller installed" test -f "$app/uninstall.exe"
if [ -n "${UMBRIX_TEST_CA:-}" ]; then
    check "uninstaller signed" signed "$app/uninstall.exe"
fi
check "Start-menu entry" test -f "$menu/Umbrix.lnk"
check "Start-menu entry for the uninstaller" test -f "$menu/Umbrix entfernen.lnk"
check "no desktop shortcut unless asked" gone "$desktop"

check "uninstall entry: name" is "$(value DisplayName)" "Umbrix"
check "uninstall entry: version of umbrix.exe" is "$(value DisplayVersion)" "1.0.0.1"
check "uninstall entry: publisher" is "$(value Publisher)" "Umbrix team"
check "uninstall entry: icon" is "$(value DisplayIcon)" 'C:\Program Files\Umbrix\umbrix.exe,0'
check "uninstall entry: uninstaller" is "$(value UninstallString)" '"C:\Program Files\Umbrix\uninstall.exe"'
check "uninstall entry: size in KB" sized "$(value EstimatedSize)"
check "App Paths: the program" is "$(app_program)" 'C:\Program Files\Umbrix\umbrix.exe'
check "App Paths: its folder" is "$(app_path)" 'C:\Program Files\Umbrix'
check "PATH left alone without /PATH" is "$(search_path)" "REG_EXPAND_SZ    $original_path"
check "menu entries in the machine's classes" menu_entries present
check "no menu entries in the user's classes" no_key "HKCU\\Software\\Classes\\Directory\\shell\\Umbrix"
check "menu: one cascade with its entries, icon and commands; started as Explorer does, they rename and take back" menu_check

# Again, interactively as a user does it: Weiter, the menu entries left out on the components
# page, Weiter, Installieren, and on the finish page "Umbrix starten" (checked) with Fertig
# stellen. The setup runs elevated, so Umbrix must not be its child: the user's shell starts it.
eval "$(run --env)"
export DISPLAY
rm -f "$app/uninstall.exe"
run "$dir/umbrix-setup.exe" >/dev/null 2>&1 &
check "setup started" wait_for running umbrix-setup.exe
sleep 3
xdotool key Return   # welcome page: Weiter
sleep 2
xdotool key Down space   # components page: the menu entries left out
sleep 1
xdotool key Return   # Weiter
sleep 2
xdotool key Return   # folder page: Installieren
check "interactive install wrote the uninstaller" wait_for test -f "$app/uninstall.exe"
check "menu entries left out: those of the earlier install are gone" wait_for menu_entries absent
sleep 3              # the installation page goes on to the finish page by itself
setup=$(pid_of umbrix-setup.exe)
xdotool key Return   # finish page: Fertig stellen
check "finish page started Umbrix" wait_for running umbrix.exe
umbrix=$(pid_of umbrix.exe)
parent=$(parent_of "$umbrix")
check "Umbrix not started by the elevated setup" other_process "$parent" "$setup"
for id in $umbrix $(pid_of umbrix-setup.exe); do run taskkill /pid "$id" /f >/dev/null 2>&1; done
wait
# taskkill returns before the process has gone; while it lasts, its umbrix.exe cannot be
# replaced and the next silent install would stop at that file.
check "Umbrix ended before the next install" wait_for not_running umbrix.exe

# Silently with /NOMENU: the menu goes (it was there from the first install).
run "$dir/umbrix-setup.exe" /S
check "silent install has the menu entries" menu_entries present
run "$dir/umbrix-setup.exe" /S /NOMENU
check "/NOMENU leaves the menu out" menu_entries absent

# Again over the installed one, with the desktop shortcut and the folder on a PATH longer than
# the 1,024 characters of an NSIS string.
long_path="$original_path;C:\\Werkzeuge\\$(printf '%01500d' 0);D:\\Eigene Programme;"
set_search_path "$long_path"
run "$dir/umbrix-setup.exe" /S /DESKTOP /PATH
check "desktop shortcut when asked" test -f "$desktop"
check "silent install has the menu entries" menu_entries present
check "/PATH adds the folder at the end, every other entry kept" \
    is "$(search_path)" "REG_EXPAND_SZ    $long_path;C:\Program Files\Umbrix"
run "$dir/umbrix-setup.exe" /S /PATH
check "installed again with /PATH: the folder once" \
    is "$(search_path)" "REG_EXPAND_SZ    $long_path;C:\Program Files\Umbrix"

# The uninstaller copies itself away and finishes in the background: wait for it.
run "C:\\Program Files\\Umbrix\\uninstall.exe" /S
i=0
while { [ -e "$app" ] || [ -e "$menu" ] || [ -e "$desktop" ]; } && [ $i -lt 100 ]; do sleep 0.2; i=$((i + 1)); done
check "program folder removed" gone "$app"
check "Start-menu folder removed" gone "$menu"
check "desktop shortcut removed" gone "$desktop"
i=0
while [ -n "$(value DisplayName)" ] && [ $i -lt 25 ]; do sleep 0.2; i=$((i + 1)); done
check "uninstall entry removed" is "$(value DisplayName)" ""
check "menu entries removed" menu_entries absent
check "App Paths removed" no_key "$app_paths"
check "PATH as it was before, to the character" is "$(search_path)" "REG_EXPAND_SZ    $long_path"

[ $failures -eq 0 ]
