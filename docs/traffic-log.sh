#!/usr/bin/env bash
# Takes docs/traffic-log.png: the traffic log after a read and a key download, drawn by the real
# windows on a virtual X display against a simulated reader on loopback (127.0.114.x). Needs a build and
# what docs/virtual-display.sh needs.
set -euo pipefail
cd "$(dirname "$0")/.."
docs/virtual-display.sh "${1:-build/bin/shot_trafficlog}" docs/traffic-log.png
echo "wrote docs/traffic-log.png"
