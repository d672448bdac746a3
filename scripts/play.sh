#!/usr/bin/env bash
# Builds Torvane and starts it in data/ (the folder the game reads everything from).
# Usage: scripts/play.sh [--versus] [--screenshot FILE]
# Without a display (or with --screenshot) the game runs under a virtual X server:
# a scripted player clicks through the guide robot's greeting and walks to the
# first present, and a screenshot of the level in play is saved (build/screenshot.png
# unless FILE is given). It exits non-zero, saying why, when the game does not
# start or the screenshot is all one colour.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=torvane
title="Collision Test"
shot=$root/build/screenshot.png
headless=""
while [ $# -gt 0 ]; do
  case "$1" in
    --versus) program=torvane-versus; title="KR v.s. KT" ;;
    --screenshot) shot=$(realpath -m "${2:?--screenshot needs a file name}"); headless=1; shift ;;
    *) echo "usage: $0 [--versus] [--screenshot FILE]" >&2; exit 2 ;;
  esac
  shift
done
"$root/scripts/build.sh" "$root/build"
cd "$root/data"
if [ -z "$headless" ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$root/build/$program"
fi

log=$root/build/play.log
echo "Running $program under Xvfb; its output goes to $log"
for display in $(seq 90 120); do
  [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] || break
done
Xvfb ":$display" -screen 0 1024x768x24 -noreset >/dev/null 2>&1 &
xvfb=$!
game=""
finish() {
  [ -n "$game" ] && kill "$game" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap finish EXIT
export DISPLAY=":$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || { echo "play.sh: the virtual X server did not start" >&2; exit 1; }

# No sound card here: OpenAL plays into nothing instead of complaining.
ALSOFT_DRIVERS=null stdbuf -oL "$root/build/$program" >"$log" 2>&1 &
game=$!
give_up() {
  echo "play.sh: $*" >&2
  echo "--- last lines of $log:" >&2
  tail -n 20 "$log" >&2
  exit 1
}
running() { kill -0 "$game" 2>/dev/null || give_up "the game ended by itself before the screenshot"; }
said() { grep -qxF "$1" "$log"; }

for _ in $(seq 100); do
  running
  xdotool search --name "^$title\$" >/dev/null 2>&1 && break
  sleep 0.1
done
xdotool search --name "^$title\$" >/dev/null 2>&1 || give_up "no game window appeared within 10 seconds"
grep -q "Failed to start game." "$log" && give_up "the game could not start"

# Allegro polls the mouse and keys: each control is held across a few frames.
xdotool mousemove 400 300
for _ in $(seq 40); do  # the level fades in, then the robot and the sergeant talk
  running
  said "outpost: go" && break
  if said "outpost: start 1"; then xdotool mousedown 1; sleep 0.1; xdotool mouseup 1; fi
  sleep 0.5
done
if said "outpost: go"; then
  # Walk right to the rifle case; the robot then tells what it holds.
  xdotool keydown d
  for _ in $(seq 40); do said "outpost: present rifle" && break; running; sleep 0.1; done
  xdotool keyup d
  sleep 1
else
  echo "play.sh: the level did not report its start; taking the screenshot as it is"
fi
running
mkdir -p "$(dirname "$shot")"
xwd -root | convert xwd:- -crop 800x600+0+0 +repage "$shot"
colours=$(convert "$shot" -format '%k' info:)
[ "$colours" -gt 1 ] || give_up "the screenshot $shot is all one colour: the game shows nothing"

# Escape ends the game the way a player would; it must be held across a frame.
xdotool keydown Escape; sleep 0.4; xdotool keyup Escape
for _ in $(seq 50); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
echo "Saved $shot: the first level in play ($colours colours)"
"$root/build/tools/snapshot/torvane-snapshot" "$root/build/level.png" >/dev/null 2>&1 &&
  echo "Saved $root/build/level.png: one frame of the valley with fighters, weapons and shots"
exit 0
