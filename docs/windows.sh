#!/usr/bin/env bash
# Takes docs/windows.png: the Windows window, installed by its setup program into a throw-away wine
# prefix, on a virtual X display, after it has read, configured and downloaded keys to a simulated reader
# that runs natively on Linux loopback. Wine gives a program that binds another loopback address than
# 127.0.0.1 the whole of 0.0.0.0, so the window binds 127.0.0.1 and the reader lives on 127.0.0.57.
#
#   docs/windows.sh [out/vrx-config-<version>-win64-setup.exe]
#
# Run as root inside `unshare -n` (port 1000 under wine needs a wineserver running as root, and the
# namespace keeps the ports to this run). Needs wine64, xvfb, xdotool, imagemagick, fonts-noto-cjk, and
# build/bin/vrx-reader-sim (./test.sh or cmake --build build). Prints the simulator's log: one line per
# datagram it took, so the three operations are seen to reach it.
set -euo pipefail
cd "$(dirname "$0")/.."
setup=${1:-$(find out -name 'vrx-config-*-win64-setup.exe' 2>/dev/null | sort | tail -1)}
[ -f "$setup" ] || { echo "no installer: run packaging/windows/build.sh first" >&2; exit 1; }
simulator=${VRX_SIMULATOR:-build/bin/vrx-reader-sim}
display=:${VRX_SCREENSHOT_DISPLAY:-59}
reader=127.0.0.57

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=$display
pids=()
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

ip link set lo up 2>/dev/null || true
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp &
pids+=($!)
for _ in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done

echo "== installing $(basename "$setup") into a new wine prefix"
wine wineboot --init >/dev/null 2>&1 </dev/null
wineserver -w
wine "$setup" /S </dev/null
wineserver -w

"$simulator" --address "$reader" 2>"$work/simulator.log" &
pids+=($!)
echo "== starting the installed window"
wine "C:\\Program Files\\VRX Config\\vrx-config.exe" </dev/null >/dev/null 2>&1 &
window=$(timeout 60 xdotool search --sync --onlyvisible --name 'VRX-K' | head -1)
xdotool windowmove "$window" 0 0
sleep 1 # the first paint

# The window's own geometry, in pixels at wine's 96 dpi: a twip is 1/15 pixel. The client area starts
# below the menu bar.
menu=$(($(xdotool getwindowgeometry --shell "$window" | sed -n 's/^HEIGHT=//p') - 10380 / 15))
# Wine takes a click only as a press and a release apart.
click() {
    xdotool mousemove --window "$window" $(($1 / 15)) $(($2 / 15 + menu))
    sleep 0.2
    xdotool mousedown 1
    sleep 0.1
    xdotool mouseup 1
}
field() { # field LEFT TOP TEXT: replaces the field's text
    click "$1" "$2"
    xdotool key --window "$window" ctrl+a BackSpace
    xdotool type --window "$window" --delay 20 "$3"
}
# Waits for the message box an operation ends with, takes it in as a picture of its own, and closes it.
answer() {
    local box
    box=$(timeout 10 xdotool search --sync --onlyvisible --name 'VRX系列在线配置软件' | grep -vx "$window" | head -1)
    sleep 1 # its first paint
    import -window "$box" "$work/$1.png" 2>/dev/null || true
    for _ in $(seq 50); do
        xdotool search --onlyvisible --name 'VRX系列在线配置软件' | grep -qx "$box" || return 0
        xdotool windowfocus "$box" key Return 2>/dev/null || true
        sleep 0.2
    done
    echo "the box after $1 did not close" >&2
    return 1
}

field 1620 5160 "$reader"    # 读卡器IP
field 1620 5580 127.0.0.1    # 本机IP
click $((3480 + 950)) $((5070 + 300)) # 读取读卡器参数
answer read
click $((3480 + 1900 + 60 + 400)) $((5070 + 300)) # 复制原参数到目标
click $((4740 + 4500 - 950)) $((5070 + 300))      # 配置读卡器参数
answer configure
click $((9240 - 950)) $((9570 + 300))             # 下载读卡器密码
answer keys
sleep 1 # the window repaints where the box was
import -window "$window" docs/windows.png
echo "wrote docs/windows.png"
echo "== the simulated reader's log"
cat "$work/simulator.log"
for operation in "parameter query: answered" "parameter block: took the settings" "key frame: stored 32 keys"; do
    grep -q "$operation" "$work/simulator.log" || { echo "the reader never saw: $operation" >&2; exit 1; }
done
