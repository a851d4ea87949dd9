#!/usr/bin/env bash
# Installs what is missing, builds, and starts the window.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/ensure-deps.sh
vrx_ensure_packages
cmake --preset default
cmake --build --preset default
exec build/bin/vrx-config "$@"
