#!/usr/bin/env bash
# Screenshots of the monitor on a virtual screen (Xvfb with openbox).
#
#   tools/screenshots.sh [BUILD_DIR] [OUT_DIR]
#
# Writes OUT_DIR/monitor.png (the window on a simulated LAN of four stations) and
# OUT_DIR/splash.png. As root it also writes OUT_DIR/no-adapter.png: the program with its real
# NetBIOS service, inside an empty network namespace made for the purpose and removed after,
# finds no adapter and shows its message box. Needs Xvfb, openbox, xwininfo and ImageMagick.
set -euo pipefail

BUILD=${1:-build}
OUT=${2:-docs}
PROGRAM=$(realpath "$BUILD/pellorin")
mkdir -p "$OUT"

exec {DISPLAY_FD}<> <(:)
Xvfb -displayfd "$DISPLAY_FD" -screen 0 1024x768x24 -nolisten tcp > /dev/null 2>&1 &
XVFB=$!
read -r -t 10 -u "$DISPLAY_FD" NUMBER
export DISPLAY=":$NUMBER"
openbox > /dev/null 2>&1 &
WM=$!
NETNS=""
cleanup() {
  [ -n "$NETNS" ] && ip netns del "$NETNS" 2> /dev/null
  kill "$WM" "$XVFB" 2> /dev/null || true
}
trap cleanup EXIT
sleep 1

# Shoots the shown window (frame included) whose line in the window tree matches $1 into $2.
shoot() {
  local id="" candidate geometry
  for candidate in $(xwininfo -root -tree | grep -E "$1" | awk '{print $1}'); do
    if xwininfo -id "$candidate" | grep -q "IsViewable"; then
      id=$candidate
      break
    fi
  done
  [ -n "$id" ] || { echo "no shown window matches $1" >&2; return 1; }
  # Climb to the window manager's frame: the ancestor just below the root.
  local root frame=$id parent
  root=$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
  while parent=$(xwininfo -children -id "$frame" | sed -n 's/^ *Parent window id: \(0x[0-9a-f]*\).*/\1/p') &&
    [ "$parent" != "$root" ]; do
    frame=$parent
  done
  geometry=$(xwininfo -id "$frame" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /Width:/ {w=$2} /Height:/ {h=$2} END {printf "%dx%d+%d+%d", w, h, x, y}')
  import -window root -crop "$geometry" +repage "$2"
}

NB_SERVICE=sim:4 "$PROGRAM" 2> /dev/null &
RUN=$!
sleep 0.5
shoot '\(has no name\): \("pellorin"' "$OUT/splash.png"
sleep 4
shoot '^ *0x[0-9a-f]+ "Pellorin"' "$OUT/monitor.png"
kill "$RUN"
wait "$RUN" 2> /dev/null || true

if [ "$(id -u)" -eq 0 ]; then
  NETNS="pellorin-shot-$$"
  ip netns add "$NETNS"
  ip netns exec "$NETNS" env -u NB_SERVICE "$PROGRAM" 2> /dev/null &
  RUN=$!
  sleep 2
  shoot '^ *0x[0-9a-f]+ "pellorin"' "$OUT/no-adapter.png"
  # A close request would wait for the message box to be answered: end it outright.
  kill -KILL "$RUN"
  wait "$RUN" 2> /dev/null || true
fi
