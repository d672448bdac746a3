#!/usr/bin/env bash
# replay_level_test.sh RUN REPLAY SOURCE_DIR DATA_DIR [--update]: the first level, played by the
# level runner from an input file kept here, must give the trace kept beside it. RUN is
#   lose  the level's test variant in which a raider shoots a scout of 1 health: the trace shows
#         his death and the restart without the tutorial, and the frames run out (status 3);
#   win   the whole level, tutorial to final scene, with a scout of 1000 health: every wave is
#         cleared, the banner taken, the game ended by the script (status 0).
# After a deliberate change to the level, run again with --update and keep the new trace.
set -euo pipefail
run=$1
# Absolute, so that the documented command works with relative paths from the top of the tree.
replay=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
source_dir=$(cd "$3" && pwd)
data_dir=$(cd "$4" && pwd)
here=$source_dir/tests/tools/replay
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

case "$run" in
  lose) variant=$source_dir/tests/game/levels/killed.fb; frames=4500; expected_status=3 ;;
  win)  variant=$here/outpost_win.fb; frames=20000; expected_status=0 ;;
  *) echo "usage: $0 lose|win REPLAY SOURCE_DIR DATA_DIR [--update]" >&2; exit 2 ;;
esac

mkdir -p "$work/level/script"
for folder in image map sound; do ln -s "$data_dir/$folder" "$work/level/$folder"; done
for script in "$data_dir"/script/*.fb; do ln -s "$script" "$work/level/script/"; done
rm "$work/level/script/main.fb"
cp "$variant" "$work/level/script/main.fb"

set +e
"$replay" --data "$work/level" --input "$here/outpost_$run.input" --frames "$frames" > "$work/$run.trace" 2> "$work/stderr.log"
status=$?
set -e
[ "$status" -eq "$expected_status" ] || { cat "$work/stderr.log"; tail -5 "$work/$run.trace"; echo "FAIL: status $status, not $expected_status"; exit 1; }
if [ "${5:-}" = --update ]; then
  cp "$work/$run.trace" "$here/outpost_$run.trace"
  echo "updated $here/outpost_$run.trace"
  exit 0
fi
diff "$here/outpost_$run.trace" "$work/$run.trace" || { echo "FAIL: the $run run differs from its kept trace"; exit 1; }
case "$run" in
  lose)
    grep -q "print outpost: scout down" "$work/$run.trace" && grep -q "print outpost: start 2" "$work/$run.trace" ||
      { echo "FAIL: no restart in the kept trace"; exit 1; } ;;
  win)
    for line in "print outpost: wave 3 cleared" "print outpost: banner taken" "print outpost: won" "endgame" "ended endgame"; do
      grep -q "$line\$" "$work/$run.trace" || { echo "FAIL: no \"$line\" in the kept trace"; exit 1; }
    done
    if grep -q "scout down" "$work/$run.trace"; then echo "FAIL: the scout fell on the winning run"; exit 1; fi ;;
esac
echo PASS
