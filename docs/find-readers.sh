#!/usr/bin/env bash
# Takes docs/find-readers.png: the "查找读卡器" dialog after a scan, drawn by the real window on a virtual
# X display against simulated readers on loopback (127.0.83.x).
# Needs xvfb, x11-utils and fonts-noto-cjk (apt-get install xvfb x11-utils fonts-noto-cjk) and a build.
set -euo pipefail
cd "$(dirname "$0")/.."
binary=${1:-build/bin/shot_findreaders}
display=:${VRX_SCREENSHOT_DISPLAY:-59}

Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT

for _ in $(seq 50); do
    xdpyinfo -display "$display" >/dev/null 2>&1 && break
    sleep 0.1
done

DISPLAY=$display QT_QPA_PLATFORM=xcb "$binary" docs/find-readers.png
echo "wrote docs/find-readers.png"
