#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when any is missing.
# Sourced by run.sh and test.sh; uses sudo when not root.
set -euo pipefail

VRX_PACKAGES=(cmake ninja-build ccache g++ pkg-config qt6-base-dev qt6-base-dev-tools fonts-noto-cjk qt6-translations-l10n qt6-l10n-tools qt6-tools-dev qt6-tools-dev-tools libcap2-bin iproute2)

vrx_missing_packages() {
    local pkg
    for pkg in "${VRX_PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || echo "$pkg"
    done
}

vrx_ensure_packages() {
    local missing
    missing=$(vrx_missing_packages "$@")
    [ -z "$missing" ] && return 0
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "Need root or sudo to install: $missing" >&2; exit 1; }
        sudo="sudo"
    fi
    echo "Installing: $missing"
    $sudo apt-get update -qq
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
}

# What both set-up commands do first: install what is missing, then configure and build the default preset.
vrx_install_and_build() {
    vrx_ensure_packages
    cmake --preset default
    cmake --build --preset default
}
