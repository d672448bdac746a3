#!/usr/bin/env bash
# replay_level_test.sh REPLAY SOURCE_DIR DATA_DIR [--update]: the first level, played by
# the level runner from an input file kept here, must give the trace kept beside it.
# The loss run starts the level through its test variant in which a raider shoots a
# scout of 1 health; the trace shows his death and the restart without the tutorial.
# After a deliberate change to the level, run again with --update and keep the new trace.
set -euo pipefail
replay=$1
source_dir=$2
data_dir=$3
here=$source_dir/tests/tools/replay
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/level/script"
for folder in image map sound; do ln -s "$data_dir/$folder" "$work/level/$folder"; done
for script in "$data_dir"/script/*.fb; do ln -s "$script" "$work/level/script/"; done
rm "$work/level/script/main.fb"
cp "$source_dir/tests/game/levels/killed.fb" "$work/level/script/main.fb"

set +e
"$replay" --data "$work/level" --input "$here/outpost_lose.input" --frames 4500 > "$work/lose.trace" 2> "$work/stderr.log"
status=$?
set -e
[ "$status" -eq 3 ] || { cat "$work/stderr.log"; echo "FAIL: status $status, not 3 (the frames run out after the restart)"; exit 1; }
if [ "${4:-}" = --update ]; then
  cp "$work/lose.trace" "$here/outpost_lose.trace"
  echo "updated $here/outpost_lose.trace"
  exit 0
fi
diff "$here/outpost_lose.trace" "$work/lose.trace" || { echo "FAIL: the loss run differs from its kept trace"; exit 1; }
grep -q "print outpost: scout down" "$work/lose.trace" && grep -q "print outpost: start 2" "$work/lose.trace" ||
  { echo "FAIL: no restart in the kept trace"; exit 1; }
echo PASS
