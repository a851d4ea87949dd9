#!/usr/bin/env bash
# shellcheck disable=SC2317 # the checks' helpers are called through check()
# Installs the Windows installer silently under wine in a throw-away prefix, with vrxctl put on PATH, and
# uninstalls it again. Lists Program Files and the Start menu before, after the install and after the
# uninstall, and checks that the install added exactly the staged files, the uninstaller and the window's
# shortcut, that vrxctl.exe runs from where it was installed, and that the uninstall leaves nothing behind:
# no file, no Apps entry, PATH as it was.
#
#   tests/packaging/check-windows-installer.sh out/vrx-config-<version>-win64-setup.exe [zip]
#
# With the zip beside the installer (or named), the installed files are compared with its contents.
# Exits 77 with a line saying why when wine or the installer is missing. Needs wine64; about 30 s.
set -euo pipefail

setup=${1:-}
if ! command -v wine >/dev/null || ! command -v wineserver >/dev/null; then
    echo "skipped: wine is not installed (apt-get install wine64)"
    exit 77
fi
if [ -z "$setup" ] || [ ! -f "$setup" ]; then
    echo "skipped: no installer ${setup:+at $setup }(make it with packaging/windows/build.sh)"
    exit 77
fi
setup=$(realpath "$setup")
zip=${2:-${setup%-setup.exe}.zip}

work=$(mktemp -d)
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
# check WHAT COMMAND...: runs the command and counts a failure when it fails.
check() {
    local what=$1
    shift
    if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
listed() { grep -qx -- "$1" "$work/added.txt"; }
empty() { [ -z "$1" ]; }
same() { [ "$1" = "$2" ]; }

# The first boot with its output discarded: the helper processes it starts would otherwise hold a
# capturing runner's pipes open. Each step waits for the server to end, so no process outlives it.
wine wineboot --init >/dev/null 2>&1 </dev/null
wineserver -w

drive=$WINEPREFIX/drive_c
places=("Program Files" "Program Files (x86)" "ProgramData/Microsoft/Windows/Start Menu")
snapshot() {
    (cd "$drive" && find "${places[@]}" \( -type f -o -type l \) 2>/dev/null | sort) >"$work/$1.txt"
    echo "-- $1: $(wc -l <"$work/$1.txt") files"
}
registry() { wine reg query "$1" ${2:+/v "$2"} 2>/dev/null | tr -d '\r' | sed -n "s/^ *${2:-.*}  *REG_[A-Z_]*  *//p"; }
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\vrx-config'
environment_key='HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment'

snapshot before
path_before=$(registry "$environment_key" Path)

echo "== installing $(basename "$setup") /S /VRXCTLPATH"
wine "$setup" /S /VRXCTLPATH </dev/null
wineserver -w
snapshot installed
comm -13 "$work/before.txt" "$work/installed.txt" >"$work/added.txt"
sed 's/^/   + /' "$work/added.txt"
check "nothing removed by the install" empty "$(comm -23 "$work/before.txt" "$work/installed.txt")"

folder="Program Files/VRX Config"
shortcut="ProgramData/Microsoft/Windows/Start Menu/Programs/VRX Config.lnk"
for program in vrx-config.exe vrxctl.exe vrx-reader-sim.exe uninstall.exe; do
    check "$program in $folder" listed "$folder/$program"
done
check "the window's Start-menu entry" listed "$shortcut"
check "every added file is in $folder or is the Start-menu entry" \
    empty "$(grep -v -e "^$folder/" -e "^$shortcut\$" "$work/added.txt")"
if [ -f "$zip" ]; then
    unzip -Z1 "$zip" | grep -v '/$' | sed "s|^[^/]*/|$folder/|" >"$work/zipped.txt"
    echo "$folder/uninstall.exe" >>"$work/zipped.txt"
    echo "$shortcut" >>"$work/zipped.txt"
    sort -o "$work/zipped.txt" "$work/zipped.txt"
    check "the installed files are the zip's, the uninstaller and the shortcut" \
        diff "$work/zipped.txt" "$work/added.txt"
fi
check "registered in Apps" same "$(registry "$uninstall_key" DisplayName)" "VRX Config"
path_after=$(registry "$environment_key" Path)
check "the install folder is on PATH" same "$path_after" "${path_before:+$path_before;}C:\\Program Files\\VRX Config"
runs() { wine "C:\\Program Files\\VRX Config\\vrxctl.exe" --help </dev/null >"$work/vrxctl.txt" 2>&1; }
check "vrxctl.exe runs from the install folder" runs
head -3 "$work/vrxctl.txt" | tr -d '\r' | sed 's/^/   | /'

echo "== uninstalling with uninstall.exe /S"
wine "C:\\Program Files\\VRX Config\\uninstall.exe" /S </dev/null
wineserver -w # the uninstaller runs on from a copy of itself; this waits for it too
snapshot uninstalled
check "nothing left behind in Program Files and the Start menu" diff "$work/before.txt" "$work/uninstalled.txt"
check "the install folder is gone" test ! -e "$drive/$folder"
check "no longer in Apps" empty "$(registry "$uninstall_key" DisplayName)"
check "PATH as before" same "$(registry "$environment_key" Path)" "$path_before"

[ "$failures" -eq 0 ] && echo "WINDOWS INSTALLER CHECK PASSED" || echo "WINDOWS INSTALLER CHECK FAILED ($failures)"
exit $((failures > 0))
