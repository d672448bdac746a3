#!/usr/bin/env bash
# replay_hostile_test.sh REPLAY SOURCE_DIR DATA_DIR: levels written to do harm, played by the level runner.
# Each must end by itself, read nothing outside its data, stay within its caps and say what was refused.
set -euo pipefail
replay=$1
data=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

level=$work/data/level
mkdir -p "$level/script" "$level/map" "$level/image/object" "$level/image/role"
for role in "$data"/image/role/*; do ln -s "$role" "$level/image/role/"; done
ln -s "$data/image/gui" "$level/image/gui"
ln -s "$data/sound" "$level/sound"
cp "$data"/image/object/ground.bmp "$level/image/object/"
cp "$2/tests/game/scripting/flat.map" "$level/map/"
# A file beside the data that a level must never reach, with a word that would show if it were read.
echo "SECRETWORD 1 2 3" > "$work/data/secret.map"
cp "$work/data/secret.map" "$work/data/secret.bmp"
# FIFOs wherever a level names a file: a map, a role's description, a picture, an import.
mkfifo "$level/map/fifo.map" "$level/image/object/fifo.bmp" "$level/script/fifo.fb"
mkdir -p "$level/image/role/fifo" && mkfifo "$level/image/role/fifo/config.dat"
# A picture bomb: 1 KB of run-length BMP whose header claims 4096 x 4096 (64 MB once decoded), in ten copies.
{
  printf 'BM\x76\x04\x00\x00\x00\x00\x00\x00\x36\x04\x00\x00'                      # file header
  printf '\x28\x00\x00\x00\x00\x10\x00\x00\x00\x10\x00\x00\x01\x00\x08\x00\x01\x00\x00\x00'  # 4096 x 4096, 8 bits, RLE8
  printf '\x40\x00\x00\x00\x13\x0b\x00\x00\x13\x0b\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00'
  head -c 1024 /dev/zero                                                            # palette
  printf '\x00\x01'                                                                 # end of bitmap
} > "$level/image/object/bomb0.bmp"
for i in 1 2 3 4 5 6 7 8 9; do cp "$level/image/object/bomb0.bmp" "$level/image/object/bomb$i.bmp"; done

play() {  # play SCRIPT_TEXT [runner options]: out.trace, out.log and status
  printf '%s\n' "$1" > "$level/script/main.fb"
  shift
  set +e
  (cd "$work" && timeout 300 "$replay" --data "$level" --frames 200 "$@" > "$work/out.trace" 2> "$work/out.log")
  status=$?
  set -e
  [ "$status" -ne 124 ] || fail "the runner was still going after 300 s: $(tail -3 "$work/out.log")"
  ! grep -q SECRETWORD "$work/out.trace" "$work/out.log" || fail "a file outside the data was read"
}
said() { grep -qF -- "$1" "$work/out.log" "$work/out.trace" || fail "$2: no line saying \"$1\": $(tail -5 "$work/out.log")"; }

# A script with a load error runs nothing, not even the Main read before the error; status 1.
TORVANE_ALLOW_SYSTEM=1 play 'FUNCTION Main
  system "touch ran"
END FUNCTION
FUNCTION Broken('
[ "$status" -eq 1 ] || fail "load error: status $status, not 1"
[ ! -e "$work/ran" ] || fail "load error: Main ran"
grep -q "^0 error Script error: " "$work/out.trace" || fail "load error: not in the trace"

# FIFOs and names outside the data: refused before they are opened, one line each, the level goes on.
play 'IMPORT script.fifo
FUNCTION Main
END FUNCTION'
[ "$status" -eq 1 ] || fail "fifo import: status $status"
said "Not a regular file." "fifo import"
play 'FUNCTION Main
  loadMap "map/fifo.map"
  loadMap "/proc/self/fd/0"
  loadMap "../secret.map"
  loadMap "map/flat.map"
  Hero = addPlayer(0, 255, "fifo", "Hero", 100, 400)
  Other = addPlayer(1, 0, "../../../secret", "Other", 300, 400)
  Box = addPresent("fifo", 200, 400)
  Bad = addPresent("../../../secret", 250, 400)
  print "still here\n"
  endgame
END FUNCTION' < /dev/null
[ "$status" -eq 0 ] || fail "refused names: status $status"
said "Map file map/fifo.map cannot be opened (it is not a regular file)" "fifo map"
said "Map file /proc/self/fd/0 is refused (only names inside the data directory are read, not absolute ones)" "absolute map"
said "Map file ../secret.map is refused" "map outside"
said "Cannot open image/role/fifo/config.dat (it is not a regular file)" "fifo role"
said "Role image/role/../../../secret/config.dat is refused" "role outside"
said "Failed to load bitmap image/object/fifo.bmp (it is not a regular file)" "fifo picture"
said "Picture image/object/../../../secret.bmp is refused" "picture outside"
grep -q "print still here" "$work/out.trace" || fail "refused names: the level did not go on"

# The picture bomb: twenty presents share one copy; ten different bombs overrun the budget and are refused.
play 'FUNCTION Main
  loadMap "map/flat.map"
  FOR I = 1 TO 20
    Box = addPresent("bomb0", 100 + I, 100)
  NEXT
  FOR I = 1 TO 9
    Box = addPresent("bomb" + I, 100, 100)
  NEXT
  print "bombs placed\n"
  endgame
END FUNCTION'
[ "$status" -eq 0 ] || fail "picture bomb: status $status"
said "the level's pictures would take more than 256 MB" "picture bomb"
grep -q "print bombs placed" "$work/out.trace" || fail "picture bomb: the level did not go on"

# Caps: fighters, presents and waiting events, each refused with one line, once.
play 'FUNCTION Main
  loadMap "map/flat.map"
  Hero = addPlayer(0, 255, "ranger", "Hero", 100, 400)
  FOR I = 1 TO 600
    F = addPlayer(1, 0, "ranger", "Crowd", 2000 + I, 400)
  NEXT
  FOR I = 1 TO 5000
    Box = addHiddenPresent(0, 0, 10, 10)
  NEXT
  print "crowded\n"
  endgame
END FUNCTION'
[ "$status" -eq 0 ] || fail "caps: status $status"
said "The level asks for more than 512 fighters; the ones over are not added." "fighter cap"
said "The level asks for more than 4096 presents and trigger areas; the ones over are not added." "present cap"
[ "$(grep -c "more than 512 fighters" "$work/out.log")" -eq 1 ] || fail "caps: the refusal was said more than once"
[ "$(grep -c "^fighter " "$work/out.trace")" -eq 512 ] || fail "caps: not 512 fighters in the world"
# Events wait while Main runs: a trigger dropped on the hero every other frame piles them up.
play 'FUNCTION Main
  loadMap "map/flat.map"
  Hero = addPlayer(0, 255, "ranger", "Hero", 100, 400)
  showObject Hero
  delay 1000
  FOR I = 1 TO 1100
    Box = addHiddenPresent(playerX(Hero) - 5, playerY(Hero) - 5, 10, 10)
    delay 20
  NEXT
  endgame
END FUNCTION
FUNCTION OnPresent(Box, X, Y)
END FUNCTION' --frames 3000
[ "$status" -eq 0 ] || fail "event cap: status $status"
said "More than 1024 events wait for the script; later ones are dropped until it serves them." "event cap"

# Values at the ends of int: held to the world's range, and the world steps and draws them without overflow
# (the sanitizer builds run this too).
play 'FUNCTION Main
  loadMap "map/flat.map"
  Hero = addPlayer(0, 255, "ranger", "Hero", 2147483647, -2147483647)
  showObject Hero
  setPlayerHealth Hero, 2147483647
  addPlayerWeapon Hero, 2, 2147483647
  switchWeapon Hero, 2
  Far = addPlayer(1, 0, "ranger", "Far", -2147483647, 2147483647)
  showObject Far
  setPlayerHealth Far, -2147483647
  playerDoFire Hero, -2147483647, 2147483647
  playerDoMove Far, 2147483647, 0
  Box = addHiddenPresent(2147483647, 2147483647, 2147483647, 2147483647)
  delay 1000
  endgame
END FUNCTION'
[ "$status" -eq 0 ] || fail "extreme values: status $status $(tail -3 "$work/out.log")"
grep -q "^fighter .* Hero human colour 255 health 1000000 at " "$work/out.trace" ||
  fail "extreme values: the health was not held to 1000000: $(grep '^fighter' "$work/out.trace")"
echo PASS
