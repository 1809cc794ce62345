#!/usr/bin/env bash
# Installs what Pellorin needs, builds it, lets it bind the NetBIOS datagram port without root,
# and starts the monitor. Extra arguments are ignored by the monitor.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
# Port 138 is privileged: the capability lets a normal user run the monitor.
$SUDO setcap cap_net_bind_service=+ep build/pellorin
exec build/pellorin "$@"
