# Sourced by the whole-level tests after XvfbSession.sh. A private data
# directory shares the real pictures, maps, sounds and level scripts; a test may
# start the level through a variant of script/main.fb from tests/game/levels/.
# The level writes its progress as "outpost: ..." lines, which the helpers read.
levels=$(cd "$(dirname "${BASH_SOURCE[0]}")/levels" && pwd)

# A game that hangs must not hang the test: on the way out its threads are
# shown (when gdb is there) and it is killed outright, since a game stuck
# in a deadlock ignores a polite kill.
level_finish() {
  if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then
    if command -v gdb >/dev/null; then
      echo "--- the game's threads:"
      timeout 30 gdb -p "$game_pid" -batch -ex "thread apply all bt 20" 2>/dev/null | grep -E "^(Thread|#)" || true
    fi
    kill -KILL "$game_pid" 2>/dev/null || true
    game_pid=""
  fi
  finish
}
trap level_finish EXIT

# use_level [VARIANT.fb]: makes the private data directory the game's.
use_level() {
  local data=$work/data
  mkdir -p "$data/script"
  for folder in image map sound; do ln -s "$DATA_DIR/$folder" "$data/$folder"; done
  for script in "$DATA_DIR"/script/*.fb; do ln -s "$script" "$data/script/"; done
  if [ -n "${1:-}" ]; then
    rm "$data/script/main.fb"
    cp "$levels/$1" "$data/script/main.fb"
    cp "$levels/autoplay.fb" "$data/script/autoplay.fb"
  fi
  DATA_DIR=$data
}

# count_lines TEXT: how many whole output lines read TEXT.
count_lines() { grep -cxF "$1" "$work/out.log" || true; }

# click_until TEXT SECONDS: the left button, held across frames, closes each
# bubble (a bubble ignores clicks in its first 30 frames) until the line comes.
click_until() {
  xdotool mousemove 400 300
  for _ in $(seq $(( $2 * 2 ))); do
    grep -qxF "$1" "$work/out.log" && return 0
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended before writing \"$1\""
    xdotool mousedown 1; sleep 0.1; xdotool mouseup 1; sleep 0.4
  done
  wait_for_line "$1" 1
}

# screenshot FILE: the game's 800x600 window.
screenshot() { xwd -root | convert xwd:- -crop 800x600+0+0 +repage "$1"; }

# brightness FILE GEOMETRY: mean brightness (0 to 1) of a part of a picture.
brightness() { convert "$1" -crop "$2" +repage -colorspace Gray -format '%[fx:mean]' info:; }

# no_script_errors: the level loaded and ran without a script or picture fault.
no_script_errors() {
  if grep -E "Script error|Runtime error|Function not found|\): " "$work/out.log"; then
    fail "the level script failed"
  fi
  [ ! -s "$work/messages.log" ] || fail "message boxes: $(cat "$work/messages.log")"
}

# quit_with_escape: Escape ends the game with status 0.
quit_with_escape() {
  hold_key Escape
  wait_for_exit 10
  [ "$game_status" -eq 0 ] || fail "exit status $game_status after Escape"
}
