#!/usr/bin/env bash
# Cross-compiles the installer's Windows backend into a console check program whose resources are two
# generated files of the real libraries' sizes, runs it under wine in a throw-away prefix, and checks that
# the files land byte for byte in the system directory and that Regsvr32 is started for each.
# Needs: apt-get install g++-mingw-w64-x86-64 wine64   (not part of CI: slow to install)
set -euo pipefail

repo=$(cd "$(dirname "$0")/../../.." && pwd)
for tool in x86_64-w64-mingw32-g++ x86_64-w64-mingw32-windres wine c++ cmp; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool not found"; exit 77; }
done

work=$(mktemp -d)
export WINEPREFIX="$work/prefix"
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    [ -n "${KEEP:-}" ] && echo "kept $work" || rm -rf "$work"
}
trap cleanup EXIT

echo "== generating resources"
c++ -x c++ -o "$work/generate" - <<'CPP'
#include <cstdint>
#include <cstdio>
#include <cstdlib>
// The same byte stream as the unit tests' generated libraries.
int main(int, char **argv) {
    const long size = std::atol(argv[1]);
    std::uint32_t state = std::uint32_t(std::atol(argv[2])) * 2654435761u + 1;
    std::FILE *out = std::fopen(argv[3], "wb");
    for (long i = 0; i < size; ++i) {
        state ^= state << 13; state ^= state >> 17; state ^= state << 5;
        std::fputc(int(state >> 24), out);
    }
    return std::fclose(out);
}
CPP
"$work/generate" 124688 101 "$work/winsock.bin"
"$work/generate" 244232 102 "$work/grid.bin"
ls -l "$work"/*.bin | awk '{print $5, $NF}'

echo "== cross-compiling"
resources=$'101 CUSTOM "winsock.bin"\n102 CUSTOM "grid.bin"'
awk -v r="$resources" '{ sub(/@VRX_COMPONENT_RESOURCES@/, r); print }' \
    "$repo/src/setup/components.rc.in" > "$work/components.rc"
(cd "$work" && x86_64-w64-mingw32-windres -O coff -o components.o components.rc)
x86_64-w64-mingw32-g++ -std=c++20 -O1 -Wall -Wextra -static -DVRX_SYSTEM_COMPONENTS -I "$repo/src" \
    "$repo/src/setup/ComponentInstaller.cpp" "$repo/src/setup/FormInitialize.cpp" \
    "$repo/src/setup/WindowsComponentPlatform.cpp" "$repo/tests/setup/windows/check_windows_backend.cpp" \
    "$work/components.o" -o "$work/check.exe"

echo "== preparing a wine prefix"
export WINEDLLOVERRIDES="mscoree,mshtml="
WINEDEBUG=-all wineboot --init >/dev/null 2>&1
wineserver -w

echo "== running under wine"
status=0
WINEDEBUG=-all,+process wine "$work/check.exe" 2>"$work/trace.txt" | tr -d '\r' || status=$?
wineserver -w

echo "== checking from outside"
system32="$WINEPREFIX/drive_c/windows/system32"
for pair in "winsock.bin MSWINSCK.OCX 101" "grid.bin msflxgrd.ocx 102"; do
    set -- $pair
    if cmp "$work/$1" "$system32/$2"; then
        echo "ok   $2 identical to resource $3"
    else
        echo "FAIL $2 differs from resource $3"; status=1
    fi
done
# The trace names the program image it created and the command line, with backslashes doubled.
starts=$(grep -o 'NtCreateUserProcess .* image L"[^"]*" cmdline L"[^"]*"' "$work/trace.txt" |
    grep -i 'image L"[^"]*regsvr32.exe"' | sed -e 's/^.* image L"//' -e 's/" cmdline L"/ <- /' -e 's/"$//' -e 's/\\\\/\\/g' || true)
printf '%s\n' "$starts"
expected='C:\windows\system32\regsvr32.exe <- Regsvr32.exe   C:\windows\system32\MSWINSCK.OCX /s
C:\windows\system32\regsvr32.exe <- Regsvr32.exe   C:\windows\system32\msflxgrd.ocx /s'
if [ "$starts" = "$expected" ]; then
    echo "ok   Regsvr32 started once for each written library"
else
    echo "FAIL Regsvr32 starts differ from:"; echo "$expected"; status=1
fi
[ "$status" -eq 0 ] && echo "WINDOWS BACKEND CHECK PASSED" || echo "WINDOWS BACKEND CHECK FAILED"
exit "$status"
