# Sourced by the whole-game tests: a private Xvfb display, a stand-in xmessage
# (Allegro's message boxes would block under X) and helpers to drive the game.
set -euo pipefail

work=$(mktemp -d)
mkdir -p "$work/bin"
cat > "$work/bin/xmessage" <<'STANDIN'
#!/bin/sh
# Logs the message box instead of showing it.
printf '%s\n' "$*" >> "$(dirname "$0")/../messages.log"
exit 101
STANDIN
chmod +x "$work/bin/xmessage"
export PATH="$work/bin:$PATH"
# The player's own settings and progress (moved keys, full screen, volume, a level select) must not reach
# the tests, nor the tests' wins his progress.
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/share" XDG_STATE_HOME="$work/state"
touch "$work/messages.log"

xvfb_pid=""
game_pid=""
finish() {
  if [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null; then
    # Allegro's own exit handler can deadlock once its X server is gone: do not wait for ever.
    for _ in $(seq 20); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$game_pid" 2>/dev/null || true
  fi
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT

fail() {
  echo "FAIL: $*"
  echo "--- game output:"; cat "$work/out.log" 2>/dev/null || true
  echo "--- message boxes:"; cat "$work/messages.log" 2>/dev/null || true
  exit 1
}

start_xvfb() {
  local display
  for display in $(seq 100 199); do
    if [ ! -e "/tmp/.X11-unix/X$display" ] && [ ! -e "/tmp/.X$display-lock" ]; then
      Xvfb ":$display" -screen 0 1024x768x24 -noreset -nolisten tcp >"$work/xvfb.log" 2>&1 &
      xvfb_pid=$!
      export DISPLAY=":$display"
      for _ in $(seq 100); do
        xdpyinfo >/dev/null 2>&1 && return 0
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
      done
    fi
  done
  fail "could not start Xvfb"
}

# start_game BINARY: runs it in the data directory, output to $work/out.log. The directory is named too: a
# test's data may lack script/main.fb on purpose, and the game would then look for its data elsewhere.
start_game() {
  ( cd "$DATA_DIR" && TORVANE_DATA="$DATA_DIR" exec "$1" ) >"$work/out.log" 2>"$work/err.log" &
  game_pid=$!
}

# wait_for_window TITLE: prints the window id.
wait_for_window() {
  local id
  for _ in $(seq 200); do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended before its window \"$1\" appeared"
    sleep 0.1
  done
  fail "no window titled \"$1\""
}

# hold_key KEY: Allegro polls, so a key must stay down across frames.
hold_key() {
  xdotool mousemove 300 200
  xdotool keydown "$1"; sleep 0.4; xdotool keyup "$1"
}

# wait_for_exit SECONDS: sets game_status.
# Sanitizer builds set SLOWDOWN: a big map loads many times slower there, and the
# quit waits for the load that holds the world.
wait_for_exit() {
  local seconds=$(( $1 * ${SLOWDOWN:-1} ))
  for _ in $(seq $(( seconds * 10 ))); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$game_pid" 2>/dev/null && fail "the game did not end within $seconds seconds"
  set +e; wait "$game_pid"; game_status=$?; set -e
  game_pid=""
}

# wait_for_line TEXT SECONDS: fails unless the game writes the whole line in time.
wait_for_line() {
  for _ in $(seq $(( $2 * 10 * ${SLOWDOWN:-1} ))); do
    grep -qxF "$1" "$work/out.log" && return 0
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended before writing \"$1\""
    sleep 0.1
  done
  fail "no line \"$1\" within $2 seconds"
}
