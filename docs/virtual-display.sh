#!/usr/bin/env bash
# Runs a program on a virtual X display and waits for it: virtual-display.sh PROGRAM [ARGUMENTS...].
# The pictures under docs/ are drawn this way by the real windows.
# Needs xvfb, x11-utils and fonts-noto-cjk (apt-get install xvfb x11-utils fonts-noto-cjk).
set -euo pipefail
display=:${VRX_SCREENSHOT_DISPLAY:-58}

Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT

for _ in $(seq 50); do
    xdpyinfo -display "$display" >/dev/null 2>&1 && break
    sleep 0.1
done

DISPLAY=$display QT_QPA_PLATFORM=xcb "$@"
