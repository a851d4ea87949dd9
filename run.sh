#!/usr/bin/env bash
# Installs what is missing, builds, and starts the window beside a simulated reader on loopback.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/ensure-deps.sh
vrx_install_and_build

# Ports 1000 and 1001 are privileged on Linux: let the built window and the simulated reader bind
# them without running as root.
if [ "$(id -u)" -ne 0 ]; then
    for program in build/bin/vrx-config build/bin/vrx-reader-sim; do
        [ -x "$program" ] || continue
        sudo setcap cap_net_bind_service=+ep "$program" ||
            echo "Could not grant cap_net_bind_service to $program; it will need root to bind its port." >&2
    done
fi

sim_pid=""
if [ -x build/bin/vrx-reader-sim ] && [ -z "${VRX_NO_SIM:-}" ]; then
    build/bin/vrx-reader-sim --address 127.0.0.101 &
    sim_pid=$!
    trap '[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null' EXIT
    cat <<'TXT'
A simulated reader answers on 127.0.0.101 (port 1001).
In the window type 127.0.0.101 as 读卡器IP and 127.0.0.1 as 本机IP, then click 读取读卡器参数.
(Set VRX_NO_SIM=1 to start the window without the simulator.)
TXT
fi

build/bin/vrx-config "$@"
