#!/usr/bin/env bash
# Runs the NetBIOS-over-TCP/IP benchmarks on a two-host LAN of network namespaces (root).
#   bench/nbt/run-nbt-bench.sh BUILD_DIR [FLOOD_RATE_PER_S] [FLOOD_SECONDS]
set -euo pipefail
build="${1:?build directory}"
here="$(cd "$(dirname "$0")" && pwd)"
lan="$here/../../tools/netns-lan.sh"
binary() { find "$build" -type f -name "$1" -perm -u+x | head -n 1; }
"$lan" -n 2 run "$(binary nbt_latency)" 2000
"$lan" -n 2 run "$(binary nbt_absorb)" "${2:-100000}" "${3:-3}"
