#!/usr/bin/env bash
# vrxctl.exe under wine against the Linux vrxctl: read, configure, keys, scan and batch against the same
# simulated readers (the Linux vrx-reader-sim on loopback, started afresh for each run) must print the same
# lines and end with the same exit code. Under wine the Windows program binds 127.0.0.1 (wine gives any
# other loopback address 0.0.0.0), so both programs use --local 127.0.0.1 and the readers live on
# 127.0.0.101 and up.
# Usage: compare-vrxctl.sh LINUX_BUILD_BIN WINDOWS_BUILD_BIN   (wine ready, as scripts/test-windows.sh
# leaves it; WINEPATH through scripts/wine-run.sh)
set -uo pipefail
linux_bin=$1
windows_bin=$2
here=$(cd "$(dirname "$0")" && pwd)
wine_run="$here/../../scripts/wine-run.sh"
work=$(mktemp -d)
sim_pid=
cleanup() {
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# Three readers: 127.0.0.101 to .103; .104 has none, so a scan finds an empty address too.
start_readers() {
    "$linux_bin/vrx-reader-sim" --address 127.0.0.101 --count 3 2>"$work/sim.log" &
    sim_pid=$!
    for _ in $(seq 100); do
        [ "$(grep -c 'reader listening' "$work/sim.log")" -ge 3 ] && return 0
        sleep 0.05
    done
    echo "the simulated readers did not start:" >&2
    cat "$work/sim.log" >&2
    return 1
}
stop_readers() {
    kill "$sim_pid" 2>/dev/null
    wait "$sim_pid" 2>/dev/null
    sim_pid=
}

printf 'address,port,beep\n127.0.0.101,8001,off\n127.0.0.102,8002,on\n127.0.0.104,8004,off\n' >"$work/batch.csv"
for sector in $(seq 0 15); do printf '%d A1B2C3D4E5%02X B1B2B3B4B5%02X\n' "$sector" "$sector" "$sector"; done >"$work/keys.txt"

cases=(
    "read 127.0.0.101 --timeout 2000"
    "read 127.0.0.101 --json --timeout 2000"
    "read 127.0.0.104 --timeout 300"
    "configure 127.0.0.102 --port 81 --beep off --verify --timeout 2000"
    "configure 127.0.0.102 --heartbeat maybe"
    "keys 127.0.0.103 --key A1B2C3D4E5F6 --timeout 2000"
    "keys 127.0.0.103 --file $work/keys.txt --timeout 2000"
    "scan 127.0.0.100-105"
    "scan 127.0.0.100-105 --csv"
    "batch $work/batch.csv --timeout 2000"
)

# A cold wine loads its libraries during the first exchange: one run first, so that no reply wait below
# measures wine's start-up.
"$wine_run" "$windows_bin/vrxctl.exe" --version >/dev/null 2>&1 </dev/null

failures=0
for args in "${cases[@]}"; do
    # shellcheck disable=SC2086
    {
        start_readers || exit 1
        "$linux_bin/vrxctl" $args --local 127.0.0.1 >"$work/linux.out" 2>"$work/linux.err" </dev/null
        linux_status=$?
        stop_readers
        start_readers || exit 1
        "$wine_run" "$windows_bin/vrxctl.exe" $args --local 127.0.0.1 >"$work/windows.out" 2>"$work/windows.err" </dev/null
        windows_status=$?
        stop_readers
    }
    # Windows ends lines with CR LF on the console's streams; the words are what must match.
    sed -i 's/\r$//' "$work/windows.out" "$work/windows.err"
    # Paths and measured times differ from run to run on any system.
    sed -i -e "s|$work|WORK|g" -e 's/after [0-9.]* s/after N s/' \
        "$work/linux.out" "$work/linux.err" "$work/windows.out" "$work/windows.err"
    if [ "$linux_status" = "$windows_status" ] && cmp -s "$work/linux.out" "$work/windows.out" &&
        cmp -s "$work/linux.err" "$work/windows.err"; then
        echo "same on Windows: vrxctl ${args//$work/WORK} (exit $linux_status)"
    else
        failures=$((failures + 1))
        echo "DIFFERENT on Windows: vrxctl ${args//$work/WORK}: exit $linux_status on Linux, $windows_status under wine"
        diff -u "$work/linux.out" "$work/windows.out" | sed 's/^/    out /'
        diff -u "$work/linux.err" "$work/windows.err" | sed 's/^/    err /'
    fi
done
echo "vrxctl.exe against the Linux vrxctl: $((${#cases[@]} - failures)) of ${#cases[@]} the same"
[ "$failures" -eq 0 ]
