#!/usr/bin/env bash
# level_start_test.sh BINARY: the first level starts and fades in, the robot's
# first bubble appears beside it, a player clicks through the tutorial, walks
# right with D held and picks up the rifle case, which the level reports.
DATA_DIR=${DATA_DIR:?}
source "$(dirname "$0")/XvfbSession.sh"
source "$(dirname "$0")/LevelSession.sh"
use_level

start_xvfb
start_game "$1"
wait_for_window "Collision Test" >/dev/null
wait_for_line "outpost: start 1" 20
# The fade-in takes about a second at full speed; the first bubble then stays for
# 300 frames (4.5 seconds), so the level is looked at until it is in full view with
# the bubble beside the robot (a dark box right of it, which stands at 10,150;
# without it that part of the view is sky and mountains). Sanitizer builds load
# and fade many times slower.
for _ in $(seq $(( 20 * ${SLOWDOWN:-1} ))); do
  sleep 0.5
  screenshot "$work/greeting.png"
  colours=$(convert "$work/greeting.png" -format '%k' info:)
  average=$(brightness "$work/greeting.png" 800x600+0+0)
  bubble=$(brightness "$work/greeting.png" 200x24+100+158)
  awk -v a="$average" -v b="$bubble" 'BEGIN { exit !(a > 0.35 && b < 0.3) }' && [ "$colours" -gt 1000 ] && break
done
[ "$colours" -gt 1000 ] || fail "the level is not in view: $colours colours on screen"
awk -v b="$bubble" 'BEGIN { exit !(b < 0.3) }' || fail "no bubble beside the robot (brightness $bubble)"

click_until "outpost: tutorial done" 40
wait_for_line "outpost: go" 10
xdotool mousemove 400 300 keydown d
for _ in $(seq 100); do
  grep -qxF "outpost: present rifle" "$work/out.log" && break
  sleep 0.1
done
xdotool keyup d
wait_for_line "outpost: present rifle" 1
no_script_errors
quit_with_escape
echo "PASS: the level starts, Ib greets, the rifle case is picked up"
