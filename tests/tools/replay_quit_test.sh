#!/usr/bin/env bash
# replay_quit_test.sh REPLAY SOURCE_DIR DATA_DIR: once the player quits, a level's script acts no
# more (no command, no box, no change to the world), a running command is ended with the game, and
# a level runs commands only when the player allows them with TORVANE_ALLOW_SYSTEM=1.
set -euo pipefail
replay=$1
here=$2/tests/tools/replay
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

mkdir -p "$work/level/script" "$work/level/map"
ln -s "$3/image" "$3/sound" "$work/level/"
cp "$2/tests/game/scripting/flat.map" "$work/level/map/"
play() {  # play LEVEL [runner options...]: trace on out.trace, the game's own lines on out.log
  cp "$here/$1" "$work/level/script/main.fb"
  shift
  set +e
  "$replay" --data "$work/level" "$@" > "$work/out.trace" 2> "$work/out.log"
  status=$?
  set -e
}

# Quitting during a wait: with commands allowed, still none runs, no box opens, no fighter is added.
TORVANE_ALLOW_SYSTEM=1 play quit.fb --input "$here/quit.input"
[ "$status" -eq 0 ] || fail "quit: status $status"
grep -qx "ended escape" "$work/out.trace" || fail "quit: not ended by Escape"
grep -q "print waiting" "$work/out.trace" || fail "quit: the script never reached its wait"
[ ! -e "$work/level/quit-command-ran" ] || fail "quit: the command ran after Escape"
! grep -q "a box after quitting" "$work/out.log" "$work/out.trace" || fail "quit: the box opened after Escape"
! grep -q "Stray" "$work/out.trace" || fail "quit: a fighter was added after Escape"
! grep -q "after quitting" "$work/out.log" "$work/out.trace" || fail "quit: the script went on after Escape"

# Without consent the command is not run, and the player is told where and how to allow it.
play command.fb
[ "$status" -eq 0 ] || fail "refused: status $status"
[ ! -e "$work/level/command-ran" ] || fail "refused: the command ran"
grep -qx "./script/main.fb:4: the level asks to run a command; it was not run. To allow a level's commands, start the game with TORVANE_ALLOW_SYSTEM=1." "$work/out.log" ||
  fail "refused: no line naming the script and how to allow it: $(cat "$work/out.log")"
grep -q "print after" "$work/out.trace" || fail "refused: the script did not go on"
TORVANE_ALLOW_SYSTEM=yes play command.fb
[ ! -e "$work/level/command-ran" ] || fail "only 1 allows commands"

TORVANE_ALLOW_SYSTEM=1 play command.fb
[ "$status" -eq 0 ] || fail "allowed: status $status"
[ -e "$work/level/command-ran" ] || fail "allowed: the command did not run"
! grep -q "not run" "$work/out.log" || fail "allowed: still refused"

# Quitting while a command runs ends the command with the game.
TORVANE_ALLOW_SYSTEM=1 play long_command.fb --input "$here/quit.input"
[ "$status" -eq 0 ] || fail "long command: status $status"
grep -qx "ended escape" "$work/out.trace" || fail "long command: not ended by Escape"
[ -s "$work/level/long-command.pid" ] || fail "long command: never started"
! kill -0 "$(cat "$work/level/long-command.pid")" 2>/dev/null || fail "long command: outlived the game"
! grep -q "after the command" "$work/out.trace" || fail "long command: the script went on after Escape"
echo PASS
