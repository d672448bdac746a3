#!/usr/bin/env bash
# replay_night_test.sh RUN REPLAY SOURCE_DIR DATA_DIR [--update]: the night raid, played by the level
# runner from a simulated player's inputs kept here, must give the trace kept beside it. RUN is
#   lose  the scout falls and starts again at the last checkpoint (the frames run out, status 3);
#   win   a steady player raids the depot without falling: the charge, the results, the end (status 0).
# After a deliberate change to the level, run again with --update and keep the new trace.
set -euo pipefail
run=$1
replay=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
here=$(cd "$3" && pwd)/tests/tools/replay
data_dir=$(cd "$4" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
seed=1391127336
case "$run" in
  lose) frames=9800; expected_status=3 ;;
  win)  frames=30000; expected_status=0 ;;
  *) echo "usage: $0 lose|win REPLAY SOURCE_DIR DATA_DIR [--update]" >&2; exit 2 ;;
esac

# A campaign of this level alone: its place in the data's list may change as levels are added.
mkdir -p "$work/level/script"
for folder in image map sound; do ln -s "$data_dir/$folder" "$work/level/$folder"; done
for script in "$data_dir"/script/*.fb; do ln -s "$script" "$work/level/script/"; done
echo "script/night.fb | The night raid | image/gui/level_night.bmp" > "$work/level/script/levels.txt"

set +e
"$replay" --data "$work/level" --level 1 --input "$here/night_$run.input" --seed "$seed" --frames "$frames" \
  > "$work/$run.trace" 2> "$work/stderr.log"
status=$?
set -e
[ "$status" -eq "$expected_status" ] || { cat "$work/stderr.log"; tail -5 "$work/$run.trace"; echo "FAIL: status $status, not $expected_status"; exit 1; }
if [ "${5:-}" = --update ]; then
  cp "$work/$run.trace" "$here/night_$run.trace"
  echo "updated $here/night_$run.trace"
  exit 0
fi
diff "$here/night_$run.trace" "$work/$run.trace" || { echo "FAIL: the $run run differs from its kept trace"; exit 1; }
case "$run" in
  lose) wanted=("print night: scout down" "print night: start 2") ;;
  win)  wanted=("print night: wave 3 cleared" "print night: won" "print night: results") ;;
esac
for line in "${wanted[@]}"; do
  grep -q "$line\$" "$work/$run.trace" || { echo "FAIL: no \"$line\" in the kept trace"; exit 1; }
done
if [ "$run" = win ] && grep -q "scout down" "$work/$run.trace"; then echo "FAIL: the scout fell on the winning run"; exit 1; fi
echo PASS
