#!/usr/bin/env bash
# window_test.sh BINARY TITLE: the game opens an 800x600 window with its title,
# greets on standard output and ends with status 0 when Escape is held.
DATA_DIR=${DATA_DIR:?}
source "$(dirname "$0")/XvfbSession.sh"
binary=$1
title=$2

start_xvfb
start_game "$binary"
window=$(wait_for_window "$title")
geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
[ "$geometry" = "800x600" ] || fail "window is $geometry, not 800x600"
sleep 1
hold_key Escape
# Escape during the first level's map load waits for the load, which a loaded machine
# running a sanitizer build stretches past a minute.
wait_for_exit 20
[ "$game_status" -eq 0 ] || fail "exit status $game_status"
grep -qx "Starting Torvane ..." "$work/out.log" || fail "no start-up line"
if grep -q "Failed to start game." "$work/out.log"; then fail "start failed under Xvfb"; fi
echo "PASS: $title"
