#!/usr/bin/env bash
# level_play_test.sh BINARY: the level played by test variants of its main
# script: the first wave walks in, is shot down and counted; the two raiders on
# the plateau likewise; at the banner the final scene plays, the results come
# up and Enter starts the level again.
DATA_DIR=${DATA_DIR:?}
source "$(dirname "$0")/XvfbSession.sh"
source "$(dirname "$0")/LevelSession.sh"
real_data=$DATA_DIR
binary=$1

start_xvfb
play() {  # play VARIANT
  DATA_DIR=$real_data
  rm -rf "$work/data"
  use_level "$1"
  : > "$work/out.log"
  start_game "$binary"
  wait_for_window "Collision Test" >/dev/null
}

play waves.fb
wait_for_line "outpost: wave 1" 20
wait_for_line "outpost: raiders attack" 30
wait_for_line "outpost: raider down, 0 left" 60
wait_for_line "outpost: wave 1 cleared" 5
no_script_errors
quit_with_escape
echo "ok: the first wave is counted and cleared"

play plateau.fb
wait_for_line "outpost: wave 2" 20
wait_for_line "outpost: raider down, 1 left" 60
wait_for_line "outpost: raider down, 0 left" 30
wait_for_line "outpost: wave 2 cleared" 5
[ "$(count_lines "outpost: wave 1 cleared")" -eq 0 ] || fail "a wave was cleared twice"
no_script_errors
quit_with_escape
echo "ok: both raiders of the second wave are counted"

play banner.fb
wait_for_line "outpost: banner taken" 30
# The last bubbles close by themselves; the game then fades out to the results, where Enter plays again.
wait_for_line "outpost: won" 5
wait_for_line "outpost: results" 60
sleep 1
hold_key Return
wait_for_line "outpost: play again" 20
wait_for_line "outpost: start 1" 5
no_script_errors
quit_with_escape
echo "PASS: waves counted, the banner wins the level, Enter on the results plays again"
