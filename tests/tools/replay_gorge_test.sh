#!/usr/bin/env bash
# replay_gorge_test.sh RUN REPLAY SOURCE_DIR DATA_DIR [--update]: the gorge, played by the level runner
# from a simulated player's inputs kept here, must give the trace kept beside it. RUN is
#   lose  a frail scout (gorge_lose.fb) falls under the low nest and starts again at the first checkpoint,
#         in front of the second wave (frames run out, status 3);
#   win   a steady player takes the post without falling: the results, play again, Escape (status 0).
# After a deliberate change to the level, run again with --update and keep the new trace.
set -euo pipefail
run=$1
replay=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
here=$(cd "$3" && pwd)/tests/tools/replay
data_dir=$(cd "$4" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
case "$run" in
  lose) seed=1391127336; frames=12000; expected_status=3; main=gorge_lose.fb ;;
  win)  seed=1391127336; frames=20000; expected_status=0; main=gorge.fb ;;
  *) echo "usage: $0 lose|win REPLAY SOURCE_DIR DATA_DIR [--update]" >&2; exit 2 ;;
esac

# A campaign of this level alone: its place in the data's list may change as levels are added.
mkdir -p "$work/level/script"
for folder in image map sound; do ln -s "$data_dir/$folder" "$work/level/$folder"; done
for script in "$data_dir"/script/*.fb; do ln -s "$script" "$work/level/script/"; done
[ "$run" = lose ] && ln -s "$here/gorge_lose.fb" "$work/level/script/"
echo "script/$main | The gorge | image/gui/level_gorge.bmp" > "$work/level/script/levels.txt"

set +e
"$replay" --data "$work/level" --level 1 --input "$here/gorge_$run.input" --seed "$seed" --frames "$frames" \
  > "$work/$run.trace" 2> "$work/stderr.log"
status=$?
set -e
[ "$status" -eq "$expected_status" ] || { cat "$work/stderr.log"; tail -5 "$work/$run.trace"; echo "FAIL: status $status, not $expected_status"; exit 1; }
if [ "${5:-}" = --update ]; then
  cp "$work/$run.trace" "$here/gorge_$run.trace"
  echo "updated $here/gorge_$run.trace"
  exit 0
fi
diff "$here/gorge_$run.trace" "$work/$run.trace" || { echo "FAIL: the $run run differs from its kept trace"; exit 1; }
case "$run" in
  lose)
    grep -q "print gorge: checkpoint 1\$" "$work/$run.trace" && grep -q "print gorge: scout down\$" "$work/$run.trace" ||
      { echo "FAIL: no fall after the first checkpoint"; exit 1; }
    # Back at the checkpoint: the second wave comes again, not the first.
    after=$(sed -n '/scout down/,$p' "$work/$run.trace")
    grep -q "print gorge: wave 2\$" <<< "$after" && ! grep -q "print gorge: wave [13]\$" <<< "$after" ||
      { echo "FAIL: the restart was not at the checkpoint"; exit 1; } ;;
  win)
    for line in "print gorge: wave 3 cleared" "print gorge: won" "print gorge: results" "print gorge: play again" "ended escape"; do
      grep -q "$line\$" "$work/$run.trace" || { echo "FAIL: no \"$line\" in the kept trace"; exit 1; }
    done
    if grep -q "scout down" "$work/$run.trace"; then echo "FAIL: the scout fell on the winning run"; exit 1; fi ;;
esac
echo PASS
