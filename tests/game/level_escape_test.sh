#!/usr/bin/env bash
# level_escape_test.sh BINARY: Escape ends the level with status 0 whatever the
# script is waiting for: the fade-in, a bubble of the robot's, a wave walking in.
DATA_DIR=${DATA_DIR:?}
source "$(dirname "$0")/XvfbSession.sh"
source "$(dirname "$0")/LevelSession.sh"
real_data=$DATA_DIR

start_xvfb
run_until() {  # run_until VARIANT TEXT PAUSE: Escape PAUSE seconds after TEXT
  DATA_DIR=$real_data
  rm -rf "$work/data"
  use_level "$1"
  : > "$work/out.log"
  start_game "$binary"
  wait_for_window "Collision Test" >/dev/null
  wait_for_line "$2" 30
  sleep "$3"
  quit_with_escape
  grep -qx "Script thread ended" "$work/out.log" || fail "the script thread did not end"
  echo "ok: Escape after \"$2\" (${1:-main.fb})"
}
binary=$1
run_until "" "outpost: start 1" 0.2                # fading in
run_until "" "outpost: start 1" 2.5                # Ib's first bubble
run_until waves.fb "outpost: wave 1" 1             # the raider walking in
run_until waves.fb "outpost: raiders attack" 2     # the fight, Main still shooting
echo "PASS: Escape ends the level at every wait"
