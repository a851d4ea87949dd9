#!/usr/bin/env bash
# Takes docs/find-readers-en.png: the find readers dialog after a scan, as docs/find-readers.sh draws it,
# with the window in English. Needs a build and what docs/virtual-display.sh needs.
set -euo pipefail
cd "$(dirname "$0")/.."
docs/virtual-display.sh "${1:-build/bin/shot_findreaders}" docs/find-readers-en.png en
echo "wrote docs/find-readers-en.png"
