#!/usr/bin/env bash
# level_restart_test.sh BINARY: a scout with 1 health is shot by the first
# raider; the robot says so and the level starts again in the same program, on
# a fresh map, without the tutorial.
DATA_DIR=${DATA_DIR:?}
source "$(dirname "$0")/XvfbSession.sh"
source "$(dirname "$0")/LevelSession.sh"
use_level killed.fb

start_xvfb
start_game "$1"
wait_for_window "Collision Test" >/dev/null
click_until "outpost: tutorial done" 40
wait_for_line "outpost: wave 1" 20
wait_for_line "outpost: scout down" 60
wait_for_line "outpost: start 2" 30
# The restart bubble closes by itself after 300 frames.
for _ in $(seq 150); do [ "$(count_lines "outpost: go")" -ge 2 ] && break; sleep 0.1; done
[ "$(count_lines "outpost: go")" -eq 2 ] || fail "the restarted level did not get going"
[ "$(count_lines "outpost: tutorial done")" -eq 1 ] || fail "the tutorial ran again on the restart"
[ "$(count_lines "Starting Torvane ...")" -eq 1 ] || fail "the program itself started again"
no_script_errors
quit_with_escape
echo "PASS: the scout's death restarts the level"
