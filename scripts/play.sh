#!/usr/bin/env bash
# Builds Torvane and starts it in data/ (the folder the game reads everything from).
# Usage: scripts/play.sh [--versus]
# Without a display the game runs for a few seconds under a virtual X server and a
# screenshot is saved instead, so you can see that it works.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=torvane
[ "${1:-}" = "--versus" ] && program=torvane-versus
"$root/scripts/build.sh" "$root/build"
cd "$root/data"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$root/build/$program"
fi

shot=$root/build/screenshot.png
echo "No display found: running $program for 8 seconds under Xvfb and saving a screenshot to $shot"
for display in $(seq 90 120); do
  [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] || break
done
Xvfb ":$display" -screen 0 1024x768x24 -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do DISPLAY=":$display" xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
# No sound card here: OpenAL plays into nothing instead of complaining.
ALSOFT_DRIVERS=null DISPLAY=":$display" "$root/build/$program" &
game=$!
sleep 8
DISPLAY=":$display" xwd -root | convert xwd:- -crop 800x600+0+0 +repage "$shot"
# Escape ends the game the way a player would; it must be held across a frame.
DISPLAY=":$display" xdotool mousemove 300 200 keydown Escape sleep 0.4 keyup Escape 2>/dev/null || true
for _ in $(seq 50); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
kill "$game" 2>/dev/null || true
wait "$game" 2>/dev/null || true
echo "Saved $shot (the screen stays dark until a level script fades it in)"
"$root/build/tools/snapshot/torvane-snapshot" "$root/build/level.png" >/dev/null 2>&1 &&
  echo "Saved $root/build/level.png: one frame of the level with fighters, weapons and shots"
