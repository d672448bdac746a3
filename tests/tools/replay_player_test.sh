#!/usr/bin/env bash
# replay_player_test.sh REPLAY SOURCE_DIR DATA_DIR: what a level owes the player. The fighter does
# what the held keys say after every bubble, present and hit; once the player quits, the script acts
# no more (no command, no box, no change to the world) and a running command ends with the game; a
# level runs commands only when the player allows them with TORVANE_ALLOW_SYSTEM=1; the panel's bar
# stays whole at any health; pause, F3 and the crosshair show as they should.
set -euo pipefail
replay=$1
here=$2/tests/tools/replay
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
# alive PID: the process runs (a killed one may linger a moment as a zombie until it is reaped).
alive() { ps -o stat= -p "$1" 2>/dev/null | grep -qv '^Z'; }

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

# Held controls (controls.fb): a release made during a bubble counts, a key pressed during one is
# taken up when it goes, and neither a present nor a hit leaves the fighter deaf to a held key.
play controls.fb --input "$here/controls.input"
[ "$status" -eq 0 ] || fail "controls: status $status"
at() { sed -n "s/^[0-9]* print $1 \([0-9-]*\)\$/\1/p" "$work/out.trace"; }
stood=$(at stood) still=$(at still) held=$(at held) walking=$(at walking)
present=$(sed -n 's/^[0-9]* event OnPresent [0-9]* \([0-9-]*\) .*/\1/p' "$work/out.trace")
past=$(at "past the present") shot=$(at "shot at") after=$(at "after the shot")
[ -n "$stood" ] && [ -n "$after" ] && [ -n "$present" ] || fail "controls: the level did not run through: $(cat "$work/out.trace")"
[ "$still" -eq "$stood" ] || fail "controls: D let go during a bubble, yet the fighter walked on ($stood to $still)"
[ "$walking" -gt $((held + 10)) ] || fail "controls: D held through a bubble was not taken up ($held to $walking)"
[ "$past" -gt $((present + 50)) ] || fail "controls: the present stopped the fighter for good (box at $present, fighter at $past)"
grep -q "^fighter .* Hero human colour 255 health 9[0-9] " "$work/out.trace" || fail "controls: the shot missed the fighter"
[ "$after" -gt $((shot + 50)) ] || fail "controls: the hit stopped the fighter for good ($shot to $after)"

# The health bar at a health of 2147483647 is as full as at 100 (it once overflowed into an empty bar),
# and at 50 it is not.
echo "230 button down left" > "$work/click.input"
echo "233 button up left" >> "$work/click.input"
play health.fb --input "$work/click.input" --shot 80:"$work/huge.png" --shot 120:"$work/full.png" \
  --shot 160:"$work/half.png" --shot 200:"$work/bubble.png"
[ "$status" -eq 0 ] || fail "health: status $status"
bar() { convert "$work/$1.png" -crop 210x16+126+50 +repage "$work/$1-bar.png"; }
bar huge; bar full; bar half
[ "$(compare -metric AE "$work/huge-bar.png" "$work/full-bar.png" null: 2>&1 || true)" = 0 ] ||
  fail "health: the bar at a huge health is not the full bar"
[ "$(compare -metric AE "$work/half-bar.png" "$work/full-bar.png" null: 2>&1 || true)" != 0 ] ||
  fail "health: the bar does not show the health at all"

# Colour 255 is the scouts' blue in the runner's pictures as in the game's window: the bubble's frame
# (translucent over the sky) is deep blue, and nothing below the panel is deep red.
pixels() { convert "$work/bubble.png" -crop 800x500+0+100 +repage -fx "$1" -format '%[fx:round(mean*w*h)]' info:; }
[ "$(pixels 'b>0.6&&r<0.25&&g<0.25')" -gt 50 ] && [ "$(pixels 'r>0.6&&g<0.25&&b<0.25')" -eq 0 ] ||
  fail "pictures: the bubble of a fighter of colour 255 is not framed in blue"

# Pause (pause.fb): P stops the world and the script's wait and shows "Paused"; F3 hides the debug lines;
# the crosshair has a dark edge, so that it shows on sky and grass alike.
play pause.fb --input "$here/pause.input" --where 10 --shot 150:"$work/paused.png" --shot 240:"$work/shown.png" \
  --shot 260:"$work/hidden.png"
[ "$status" -eq 0 ] || fail "pause: status $status"
still=$(sed -n 's/^100 where [0-9]* Hero \([0-9-]*\) .*/\1/p' "$work/out.trace" | sort -u)
[ "$(grep -c '^100 where [0-9]* Hero ' "$work/out.trace")" -ge 9 ] && [ "$(echo "$still" | wc -l)" -eq 1 ] ||
  fail "pause: the hero moved while paused ($(echo $still))"
[ "$(at waited)" -gt "$still" ] || fail "pause: the script's wait ended during the pause"
count() { convert "$work/$1.png" -crop "$2" +repage -fx "$3" -format '%[fx:round(mean*w*h)]' info:; }
[ "$(count paused 240x80+280+260 'r>0.9&&g>0.9&&b>0.9')" -gt 100 ] || fail "pause: no \"Paused\" on the screen"
[ "$(count shown 300x9+0+0 'r>0.9&&g>0.9&&b>0.9')" -gt 20 ] || fail "F3: no debug lines before it"
[ "$(count hidden 300x9+0+0 'r>0.9&&g>0.9&&b>0.9')" -eq 0 ] || fail "F3: the debug lines are still shown"
[ "$(count shown 40x40+380+280 'g>0.8&&r<0.3&&b<0.3')" -gt 10 ] &&
  [ "$(count shown 40x40+380+280 'r<0.15&&g<0.15&&b<0.15')" -gt 10 ] || fail "crosshair: not green on a dark edge"

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
alive "$(cat "$work/level/long-command.pid")" && fail "long command: outlived the game"
! grep -q "after the command" "$work/out.trace" || fail "long command: the script went on after Escape"
TORVANE_ALLOW_SYSTEM=1 play background_command.fb
[ "$status" -eq 0 ] || fail "background command: status $status"
[ -s "$work/level/background.pid" ] || fail "background command: never started"
alive "$(cat "$work/level/background.pid")" && fail "background command: its process outlived the game"
echo PASS
