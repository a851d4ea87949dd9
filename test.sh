#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test with ctest.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/ensure-deps.sh
vrx_install_and_build
ctest --preset default
