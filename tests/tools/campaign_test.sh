#!/usr/bin/env bash
# campaign_test.sh REPLAY SOURCE_DIR DATA_DIR: the campaign as a player meets it, frame-exact. A new
# player starts on the first level; its results offer the next level, which starts by itself and the
# win is kept in the progress file; coming back, the level select shows what was reached and starts
# the chosen level, and its settings page changes and keeps a setting; a damaged progress file is said once and means nothing finished; --level out of
# range names the levels.
set -euo pipefail
replay=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
cp -r "$2/tests/tools/campaign" "$work/data"
ln -s "$3/image" "$3/sound" "$work/data/"
export XDG_DATA_HOME=$work/xdg
progress=$XDG_DATA_HOME/torvane/progress
enter() { printf '%s key down Enter\n%s key up Enter\n' "$1" $(($1 + 3)); }

# A new player: the first level, Enter on its results, the second level.
enter 20 > "$work/next.input"
"$replay" --data "$work/data" --player --input "$work/next.input" > "$work/out.trace" 2> "$work/out.log" ||
  fail "next level: status $?: $(cat "$work/out.trace")"
grep -q "print first: choice 2" "$work/out.trace" || fail "Enter did not choose the next level: $(cat "$work/out.trace")"
grep -q "level 2 script/second.fb" "$work/out.trace" || fail "the second level did not start"
grep -q "print second: started" "$work/out.trace" || fail "the second level's script did not run"
grep -q "^script/main.fb time [0-9]* kills 0 headshots 0 accuracy 0 deaths 0$" "$progress" ||
  fail "the win was not kept: $(cat "$progress" 2>&1)"

# Back again: the level select opens on the level reached (the second); W and Enter start the first.
printf '5 key down W\n8 key up W\n' > "$work/menu.input"
enter 12 >> "$work/menu.input"
"$replay" --data "$work/data" --player --input "$work/menu.input" --frames 40 > "$work/out.trace" 2> "$work/out.log" ||
  [ $? -eq 3 ] || fail "menu: status $?"
grep -q "menu: level 1 chosen" "$work/out.trace" || fail "the menu did not start the first level: $(cat "$work/out.trace")"
grep -q "print first: started" "$work/out.trace" || fail "the chosen level did not run"
enter 12 > "$work/menu2.input"
"$replay" --data "$work/data" --player --input "$work/menu2.input" > "$work/out.trace" 2> /dev/null || true
grep -q "menu: level 2 chosen" "$work/out.trace" || fail "the menu did not open on the level reached"

# The settings page: down to Settings, Enter, down to the volume, Left lowers it; kept in the config file.
export XDG_CONFIG_HOME=$work/config
printf '5 key down S\n8 key up S\n' > "$work/settings.input"
enter 12 >> "$work/settings.input"
printf '20 key down S\n23 key up S\n30 key down A\n33 key up A\n40 key down Escape\n43 key up Escape\n50 key down Escape\n' >> "$work/settings.input"
"$replay" --data "$work/data" --player --input "$work/settings.input" --shot 35:"$work/settings.png" > "$work/out.trace" 2> /dev/null ||
  fail "settings: status $?"
grep -qx "volume = 90" "$XDG_CONFIG_HOME/torvane/settings" || fail "the volume was not kept: $(cat "$XDG_CONFIG_HOME/torvane/settings" 2>&1)"
grep -q "menu:" "$work/out.trace" && fail "the settings page started a level"

# A damaged progress file: one line says so, and the player starts on the first level.
echo "script/main.fb time lots" > "$progress"
"$replay" --data "$work/data" --player --input "$work/next.input" > "$work/out.trace" 2> "$work/out.log" || true
grep -q "progress is damaged (line 1); starting with nothing finished" "$work/out.log" || fail "no word of the damage"
grep -q "menu:" "$work/out.trace" && fail "a damaged file opened the menu"
grep -q "^script/main.fb time" "$progress" || fail "the damaged file was not replaced by the new win"

# --level out of range.
if "$replay" --data "$work/data" --level 3 > /dev/null 2> "$work/out.log"; then fail "--level 3 was accepted"; fi
grep -q 'there is no level "3"; the levels are:' "$work/out.log" && grep -q "  2  Second" "$work/out.log" ||
  fail "--level 3: $(cat "$work/out.log")"
echo "campaign: next level, progress, level select, damaged progress and --level all as they should"
