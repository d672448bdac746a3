#!/usr/bin/env bash
# replay_level_test.sh RUN REPLAY SOURCE_DIR DATA_DIR [--update]: the first level, played by the
# level runner from an input file kept here (a game of a simulated player of torvane-playtest, with
# its seed), must give the trace kept beside it. RUN is
#   lose  a rusher falls in the camp: the trace shows his death and the restart at the second
#         checkpoint, and the frames run out (status 3);
#   win   a steady player plays the whole level, tutorial to banner: every wave is cleared, the
#         results come up, Enter plays again and Escape quits (status 0).
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
  lose) seed=3219630752; frames=8400; expected_status=3 ;;
  win)  seed=1391127336; frames=20000; expected_status=0 ;;
  *) echo "usage: $0 lose|win REPLAY SOURCE_DIR DATA_DIR [--update]" >&2; exit 2 ;;
esac

mkdir -p "$work/level/script"
for folder in image map sound; do ln -s "$data_dir/$folder" "$work/level/$folder"; done
for script in "$data_dir"/script/*.fb; do ln -s "$script" "$work/level/script/"; done

set +e
"$replay" --data "$work/level" --input "$here/outpost_$run.input" --seed "$seed" --frames "$frames" > "$work/$run.trace" 2> "$work/stderr.log"
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
    for line in "print outpost: checkpoint 2" "print outpost: scout down" "print outpost: start 2"; do
      grep -q "$line\$" "$work/$run.trace" || { echo "FAIL: no \"$line\" in the kept trace"; exit 1; }
    done
    # Back at the checkpoint, not at the outpost: the third wave comes again, no earlier one.
    sed -n '/scout down/,$p' "$work/$run.trace" | grep -q "print outpost: wave 3\$" &&
      ! sed -n '/scout down/,$p' "$work/$run.trace" | grep -q "print outpost: wave [12]\$" ||
      { echo "FAIL: the restart was not at the checkpoint"; exit 1; } ;;
  win)
    for line in "print outpost: wave 3 cleared" "print outpost: banner taken" "print outpost: won" "print outpost: play again" "ended escape"; do
      grep -q "$line\$" "$work/$run.trace" || { echo "FAIL: no \"$line\" in the kept trace"; exit 1; }
    done
    grep -q "^[0-9]* results time [0-9]:[0-9][0-9], kills 10, headshots [0-9]*, accuracy [0-9]*%.*, deaths 0\$" "$work/$run.trace" ||
      { echo "FAIL: no results line"; exit 1; }
    if grep -q "scout down" "$work/$run.trace"; then echo "FAIL: the scout fell on the winning run"; exit 1; fi ;;
esac
echo PASS
