# Sourced by the whole-game tests after XvfbSession.sh: a small test level in
# $work/level, which becomes DATA_DIR. The real pictures, its own map and
# script: a closed room as large as the screen, so that screen and world points
# are the same, with the player and one target that its script keeps still. The
# script prints "Target ID X Y" once and then "Hero X Y" every 100 ms for 15
# seconds; once Main has returned it prints "OnKill ID" for each kill.
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
