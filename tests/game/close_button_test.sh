#!/usr/bin/env bash
# close_button_test.sh BINARY TITLE CLOSE_WINDOW: the window's close button ends
# the game as Escape does, while the level script waits in a delay: the frame
# finishes, the script is stopped and the program exits with status 0.
DATA_DIR=${DATA_DIR:?}
source "$(dirname "$0")/XvfbSession.sh"
source "$(dirname "$0")/RoomLevel.sh"
binary=$1
title=$2
close_window=$3

start_xvfb
start_game "$binary"
window=$(wait_for_window "$title")
for _ in $(seq 150); do grep -q '^Hero ' "$work/out.log" && break; sleep 0.1; done
grep -q '^Hero ' "$work/out.log" || fail "the test level did not start"
kill -0 "$game_pid" 2>/dev/null || fail "the game ended before the close request"
"$close_window" "$window" || fail "could not send the close request"
# Sanitizer builds run the frame and the script stop several times slower.
wait_for_exit 30
[ "$game_status" -eq 0 ] || fail "exit status $game_status"
if grep -q "Shutting down Allegro due to signal" "$work/out.log" "$work/err.log"; then fail "the game crashed on closing"; fi
echo "PASS: the close button ends $title"
