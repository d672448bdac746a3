#!/usr/bin/env bash
# input_test.sh BINARY TITLE: the human fighter obeys keyboard and mouse in the
# real game. A test level (a small closed room, the player and one target that
# its script keeps still) prints the player's position every 100 ms; holding D
# moves it right, A left, W makes it jump, and holding the left button on the
# target shoots it dead ("OnKill" printed). Escape then ends the game with 0.
DATA_DIR=${DATA_DIR:?}
source "$(dirname "$0")/XvfbSession.sh"
binary=$1
title=$2

# The level: the real pictures, its own map and script.
level="$work/level"
mkdir -p "$level/script"
for folder in image sound map; do ln -s "$DATA_DIR/$folder" "$level/$folder"; done
cat > "$level/room.map" <<'MAP'
1
800 600
40 40 60
6
platform_stone.bmp 2 0 0 500 0 0 0 0
platform_stone.bmp 2 0 240 500 0 0 0 0
platform_stone.bmp 2 0 480 500 0 0 0 0
platform_stone.bmp 2 0 560 500 0 0 0 0
wall_brick.bmp 2 0 0 180 0 0 0 0
wall_brick.bmp 2 0 752 180 0 0 0 0
MAP
cat > "$level/script/main.fb" <<'SCRIPT'
' The map is as large as the screen, so screen and world points are the same.
DIM Hero, Target

FUNCTION Main
  loadMap "room.map"
  Hero = addPlayer(0, 3975740, "ranger", "Hero", 100, 420)
  showObject Hero
  addPlayerWeapon Hero, 2, 300
  switchWeapon Hero, 2
  Target = addPlayer(1, 14428200, "kr", "Target", 600, 420)
  showObject Target
  setPlayerAIMode Target, 1
  setPlayerHealth Target, 1
  fadeIn
  print "Target " + Target + " " + playerX(Target) + " " + playerY(Target) + "\n"
  ' Events are served once Main has returned: a kill during the walk is printed after it.
  FOR I = 1 TO 150
    print "Hero " + playerX(Hero) + " " + playerY(Hero) + "\n"
    delay 100
  NEXT
END FUNCTION

FUNCTION OnKill(Victim, X, Y)
  print "OnKill " + Victim + "\n"
END FUNCTION
SCRIPT
DATA_DIR=$level

# The player's latest position: "x y".
hero() { grep '^Hero ' "$work/out.log" | tail -1 | cut -d' ' -f2-3; }
# The next position printed after this moment.
fresh_hero() {
  local lines
  lines=$(grep -c '^Hero ' "$work/out.log" || true)
  for _ in $(seq 50); do
    [ "$(grep -c '^Hero ' "$work/out.log" || true)" -gt "$lines" ] && break
    sleep 0.1
  done
  hero
}
hold() {  # hold KEY SECONDS
  xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"
}

start_xvfb
start_game "$binary"
window=$(wait_for_window "$title")
for _ in $(seq 100); do grep -q '^Hero ' "$work/out.log" && break; sleep 0.1; done
grep -q '^Hero ' "$work/out.log" || fail "the test level printed no position"
xdotool mousemove 400 300
sleep 1.5  # the fighters land

read -r x0 y0 <<<"$(fresh_hero)"
hold d 0.6
sleep 0.3
read -r x1 y1 <<<"$(fresh_hero)"
[ "$x1" -gt $((x0 + 20)) ] || fail "holding D moved the player from x $x0 to $x1"
hold a 0.6
sleep 0.3
read -r x2 y2 <<<"$(fresh_hero)"
[ "$x2" -lt $((x1 - 20)) ] || fail "holding A moved the player from x $x1 to $x2"

lines=$(grep -c '^Hero ' "$work/out.log")
hold w 0.3
sleep 1.5
highest=$(tail -n +$((lines + 1)) "$work/out.log" | grep '^Hero ' | cut -d' ' -f3 | sort -n | head -1)
[ -n "$highest" ] && [ "$highest" -lt $((y2 - 30)) ] || fail "holding W: the player rose from y $y2 only to ${highest:-nothing}"
read -r x3 y3 <<<"$(fresh_hero)"
[ "$y3" -eq "$y2" ] || fail "the player did not land again (y $y3, was $y2)"

# Hold the trigger on the target, pointing again as the recoil throws the sight off.
read -r target tx ty <<<"$(grep '^Target ' "$work/out.log" | head -1 | cut -d' ' -f2-4)"
xdotool mousemove "$tx" "$((ty - 12))" mousedown 1
for _ in $(seq 250); do
  grep -q "^OnKill $target\$" "$work/out.log" && break
  sleep 0.1
  xdotool mousemove "$tx" "$((ty - 12))"
done
xdotool mouseup 1
grep -q "^OnKill $target\$" "$work/out.log" || fail "the target was not killed (no OnKill $target)"

hold Escape 0.4
wait_for_exit 10
[ "$game_status" -eq 0 ] || fail "exit status $game_status"
if grep -q "Unknown action\|Runtime error\|Script error" "$work/out.log"; then fail "unexpected diagnostics"; fi
echo "PASS: keyboard and mouse drive the player in $title (x $x0 -> $x1 -> $x2, jump to y $highest, target $target killed)"
