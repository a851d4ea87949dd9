#!/usr/bin/env bash
# Takes docs/window.png from the real window on a virtual X display: screenshot.sh [BINARY [OPTIONS...]],
# the options passed to the window; VRX_SCREENSHOT_OUTPUT names another picture.
# Needs xvfb, xdotool and imagemagick (apt-get install xvfb xdotool imagemagick fonts-noto-cjk).
set -euo pipefail
cd "$(dirname "$0")/.."
binary=${1:-build/bin/vrx-config}
output=${VRX_SCREENSHOT_OUTPUT:-docs/window.png}
display=:${VRX_SCREENSHOT_DISPLAY:-57}

Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp &
xvfb_pid=$!
app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

for _ in $(seq 50); do
    xdpyinfo -display "$display" >/dev/null 2>&1 && break
    sleep 0.1
done

DISPLAY=$display QT_QPA_PLATFORM=xcb "$binary" "${@:2}" &
app_pid=$!
window=$(DISPLAY=$display timeout 20 xdotool search --sync --onlyvisible --name 'VRX-K' | head -1)
# Let the first paint finish before the grab.
sleep 1
DISPLAY=$display import -window "$window" "$output"
echo "wrote $output"
