#!/usr/bin/env bash
# Takes docs/find-readers.png: the "查找读卡器" dialog after a scan, drawn by the real window on a virtual
# X display against simulated readers on loopback (127.0.83.x). Needs a build and what
# docs/virtual-display.sh needs.
set -euo pipefail
cd "$(dirname "$0")/.."
docs/virtual-display.sh "${1:-build/bin/shot_findreaders}" docs/find-readers.png
echo "wrote docs/find-readers.png"
