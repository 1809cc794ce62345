#!/usr/bin/env bash
# A LAN of network namespaces for running NetBIOS stations side by side.
#
# Builds HOSTS hosts (namespaces), each with eth0 on bridge br0 and, with -2, eth1 on bridge
# br1; the bridges live in a switch namespace of their own. Host i has 10.213.0.i/24 on eth0
# and 10.213.1.i/24 on eth1. Namespace names carry this script's process id, so parallel runs
# don't collide. Everything (namespaces, veths, bridges, processes left inside) is taken down
# when the script ends, however it ends.
#
# Usage:
#   netns-lan.sh [-n HOSTS] [-2] run COMMAND [ARGS...]
#       Runs COMMAND in every host at once, with NB_COMPUTERNAME=HOST<i> and NETNS_LAN_HOST=<i>
#       (NETNS_LAN_HOSTS=HOSTS), waits for all, exits with the first failing status.
#   netns-lan.sh [-n HOSTS] [-2] hold
#       Prints the LAN as KEY=VALUE lines (switch=, host<i>=), then "ready", and keeps the LAN
#       until its standard input closes or it gets a signal.
# Needs root (ip netns).
set -euo pipefail

hosts=2
networks=1
while getopts "n:2" option; do
  case "$option" in
    n) hosts="$OPTARG" ;;
    2) networks=2 ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
mode="${1:-}"
[ "$mode" = run ] || [ "$mode" = hold ] || { echo "usage: $0 [-n HOSTS] [-2] run COMMAND... | hold" >&2; exit 2; }
shift
[[ "$hosts" =~ ^[0-9]+$ ]] && [ "$hosts" -ge 1 ] && [ "$hosts" -le 254 ] || { echo "$0: 1 to 254 hosts" >&2; exit 2; }

tag="nbl$$"
switch="$tag-sw"
host_ns=()
for ((i = 1; i <= hosts; i++)); do host_ns+=("$tag-h$i"); done
created=()

teardown() {
  trap - EXIT INT TERM HUP
  local ns pids
  for ns in "${created[@]}"; do
    pids=$(ip netns pids "$ns" 2>/dev/null || true)
    [ -z "$pids" ] || kill -TERM $pids 2>/dev/null || true
  done
  for ns in "${created[@]}"; do
    for _ in 1 2 3 4 5 6 7 8 9 10; do
      pids=$(ip netns pids "$ns" 2>/dev/null || true)
      [ -n "$pids" ] || break
      sleep 0.1
    done
    [ -z "$pids" ] || kill -KILL $pids 2>/dev/null || true
    ip netns del "$ns" 2>/dev/null || true
  done
}
trap teardown EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

add_namespace() {
  ip netns add "$1"
  created+=("$1")
  ip -n "$1" link set lo up
}

add_namespace "$switch"
for ((net = 0; net < networks; net++)); do
  ip -n "$switch" link add "br$net" type bridge
  ip -n "$switch" link set "br$net" up
done
for ((i = 1; i <= hosts; i++)); do
  ns="${host_ns[i - 1]}"
  add_namespace "$ns"
  for ((net = 0; net < networks; net++)); do
    ip -n "$switch" link add "h${i}e$net" type veth peer name "eth$net" netns "$ns"
    ip -n "$switch" link set "h${i}e$net" master "br$net" up
    ip -n "$ns" addr add "10.213.$net.$i/24" brd + dev "eth$net"
    ip -n "$ns" link set "eth$net" up
  done
done

if [ "$mode" = hold ]; then
  echo "switch=$switch"
  for ((i = 1; i <= hosts; i++)); do echo "host$i=${host_ns[i - 1]}"; done
  echo ready
  exec 3<&0
  cat <&3 >/dev/null &
  wait $! || true
  exit 0
fi

[ $# -ge 1 ] || { echo "$0: run needs a command" >&2; exit 2; }
pids=()
for ((i = 1; i <= hosts; i++)); do
  ip netns exec "${host_ns[i - 1]}" env NB_COMPUTERNAME="HOST$i" NETNS_LAN_HOST="$i" \
    NETNS_LAN_HOSTS="$hosts" "$@" &
  pids+=($!)
done
status=0
for pid in "${pids[@]}"; do
  wait "$pid" || { code=$?; [ "$status" -ne 0 ] || status=$code; }
done
exit "$status"
