#!/usr/bin/env bash
# Cross-builds the `windows` preset and runs its tests under wine, one at a time: every test but the
# Linux-only ones (label linux-only) and those left out under wine (tests/windows/not-under-wine.txt),
# which are named with the reason; the last line counts N of M passed. Window tests
# use Qt's windows platform plugin on a virtual X display. Extra arguments go to ctest (-R regex ...).
# Qt for Windows comes from packaging/windows/qt-prefix.sh (the shared archive, or built).
#
# Wine's helper processes keep the pipes of whoever started the wineserver open, and ctest waits for
# them: the server is started persistent beforehand, with its output discarded, in a prefix of the
# build's own, and stopped at the end.
#
# Simulated readers inside a test under wine cannot bind their own loopback addresses (wine gives them
# the any-address): a reader relay, the Linux build's vrx-reader-sim --relay, binds them natively for the
# tests, which find it through VRX_READER_RELAY. It runs from the wine server's start to its end, in the
# same network namespace, and logs its binds to build-win/reader-relay.log.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" != "--inside-display" ]; then
    . scripts/ensure-deps.sh
    vrx_ensure_packages g++-mingw-w64-x86-64-posix wine64 xvfb xauth
    VRX_QT_PREFIX=$(packaging/windows/qt-prefix.sh)
    export VRX_QT_PREFIX
    cmake --preset windows
    # VRX_WINDOWS_TARGETS: only these targets (and then only their tests are meant to be run).
    # shellcheck disable=SC2086
    cmake --build --preset windows ${VRX_WINDOWS_TARGETS:+--target $VRX_WINDOWS_TARGETS}
    # The reader relay is a Linux program: from the default preset's build.
    [ -f build/build.ninja ] || cmake --preset default
    cmake --build --preset default --target vrx-reader-sim
    # In a network namespace of its own where it can make one: nothing the tests send leaves it.
    if [ "$(id -u)" -eq 0 ] && unshare -n true 2>/dev/null; then
        exec unshare -n sh -c 'ip link set lo up && exec xvfb-run -a "$0" --inside-display "$@"' "$0" "$@"
    fi
    exec xvfb-run -a "$0" --inside-display "$@"
fi
shift

export WINEPREFIX=${WINEPREFIX:-$PWD/build-win/wine-prefix}
export WINEDEBUG=-all
mkdir -p "$WINEPREFIX"
wineserver -k >/dev/null 2>&1 </dev/null || true
wineserver -p >/dev/null 2>&1 </dev/null
relay_pid=
trap '[ -z "$relay_pid" ] || kill "$relay_pid" 2>/dev/null; wineserver -k >/dev/null 2>&1 </dev/null || true' EXIT
wine wineboot -i >/dev/null 2>&1 </dev/null
# The virtual display has no window manager, and wine waits up to 2 s for one to withdraw each window
# it hides or destroys: a window test that opens a window per row spent 2 s on each. Unmanaged
# windows, which wine maps and activates itself, need no manager.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null

# The relay says on stdout when it listens; its one line is all that comes there.
export VRX_READER_RELAY=${VRX_READER_RELAY:-127.0.0.1:47011}
coproc RELAY { exec build/bin/vrx-reader-sim --relay "$VRX_READER_RELAY" 2>build-win/reader-relay.log; }
relay_pid=$RELAY_PID
if ! read -r -t 30 ready <&"${RELAY[0]}"; then
    echo "The reader relay did not start on $VRX_READER_RELAY:" >&2
    cat build-win/reader-relay.log >&2
    exit 1
fi
echo "Reader relay: ${ready#relay }"

while IFS= read -r line; do
    [ -n "$line" ] && echo "Linux-only, not run under wine: $line"
done <build-win/bin/linux-only-tests.txt
# Tests that would run on Windows but not under wine (tests/windows/not-under-wine.txt says why).
not_under_wine=()
while IFS= read -r line; do
    case "$line" in '' | '#'*) continue ;; esac
    echo "Left out under wine: $line"
    not_under_wine+=("${line%%:*}")
done <tests/windows/not-under-wine.txt
exclude=()
if [ ${#not_under_wine[@]} -gt 0 ]; then
    exclude=(-E "^($(IFS='|'; echo "${not_under_wine[*]}"))\$")
fi
log=build-win/wine-ctest.log
status=0
ctest --preset windows "${exclude[@]}" "$@" 2>&1 | tee "$log" || status=$?
# The count: the tests run under wine that passed, of every test selected (the Linux-only ones
# included, which ctest lists as disabled and not run; the ones not run under wine added).
passed=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* +Passed +' "$log" || true)
selected=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#' "$log" || true)
linux_only=$(grep -cE 'Not Run \(Disabled\)' "$log" || true)
left_out=${#not_under_wine[@]}
[ $# -eq 0 ] || left_out=0 # a filter given: only what it selected is counted
echo "Under wine: $passed of $((selected + left_out)) passed;" \
    "not run: $linux_only Linux-only, $left_out left out under wine"
# VRX_WINDOWS_COMPARE=1: also vrxctl.exe against the Linux vrxctl of the default preset's build.
if [ -n "${VRX_WINDOWS_COMPARE:-}" ]; then
    tests/windows/compare-vrxctl.sh build/bin build-win/bin || status=1
fi
exit "$status"
