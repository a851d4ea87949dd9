#!/usr/bin/env bash
# Takes docs/window-en.png: the real window in English (--language en, which saves nothing), as
# docs/screenshot.sh takes docs/window.png.
set -euo pipefail
cd "$(dirname "$0")/.."
VRX_SCREENSHOT_OUTPUT=docs/window-en.png docs/screenshot.sh "${1:-build/bin/vrx-config}" --language en
