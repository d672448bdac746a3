#!/usr/bin/env bash
# replay_fort_test.sh RUN REPLAY SOURCE_DIR DATA_DIR [--update]: the captain's fort, played by the
# level runner from a kept input file (a simulated player's game, with its seed), must give the
# trace kept beside it. RUN is
#   lose  a frail scout (fort_lose.fb) falls in the captain's last phase: the restart is at the
#         duel's checkpoint, not before it;
#   win   a steady scout beats the captain through his three phases without falling; the results
#         come up, Enter plays again and Escape quits.
# The level is played as the data's only level, so that its place in the campaign does not matter.
set -euo pipefail
run=$1
replay=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
source_dir=$(cd "$3" && pwd)
data_dir=$(cd "$4" && pwd)
here=$source_dir/tests/tools/replay
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

seed=$(sed -n '1s/.*--seed \([0-9]*\).*/\1/p' "$here/fort_$run.input")
case "$run" in
  lose) frames=11000; expected_status=3; main=$here/fort_lose.fb ;;
  win)  frames=30000; expected_status=0; main=$data_dir/script/fort.fb ;;
  *) echo "usage: $0 lose|win REPLAY SOURCE_DIR DATA_DIR [--update]" >&2; exit 2 ;;
esac

mkdir -p "$work/level/script"
for folder in image map sound; do ln -s "$data_dir/$folder" "$work/level/$folder"; done
for script in "$data_dir"/script/fort*.fb; do ln -s "$script" "$work/level/script/"; done
ln -s "$main" "$work/level/script/main.fb"

set +e
"$replay" --data "$work/level" --input "$here/fort_$run.input" --seed "$seed" --frames "$frames" > "$work/$run.trace" 2> "$work/stderr.log"
status=$?
set -e
[ "$status" -eq "$expected_status" ] || { cat "$work/stderr.log"; tail -5 "$work/$run.trace"; echo "FAIL: status $status, not $expected_status"; exit 1; }
if [ "${5:-}" = --update ]; then
  cp "$work/$run.trace" "$here/fort_$run.trace"
  echo "updated $here/fort_$run.trace"
  exit 0
fi
diff "$here/fort_$run.trace" "$work/$run.trace" || { echo "FAIL: the $run run differs from its kept trace"; exit 1; }
has() { grep -q "$1" "$work/$run.trace" || { echo "FAIL: no \"$1\" in the trace"; exit 1; }; }
case "$run" in
  lose)
    has "print fort: scout down$"
    has "print fort: checkpoint 3, the duel$"
    has "print fort: start 2$"
    # Back at the duel, not before it: the captain comes again, the waves do not.
    last=$(grep -n "scout down" "$work/$run.trace" | tail -1 | cut -d: -f1)
    after=$(sed -n "$last,\$p" "$work/$run.trace")
    grep -q "print fort: wave 3$" <<< "$after" && ! grep -q "print fort: wave [12]$" <<< "$after" ||
      { echo "FAIL: the restart was not at the duel"; exit 1; } ;;
  win)
    for line in "checkpoint 3, the duel" "checkpoint 4, the captain's second phase" \
                "checkpoint 5, the captain's last phase" "captain down" "won" "results" "play again"; do
      has "print fort: $line$"
    done
    has "ended escape"
    if grep -q "scout down" "$work/$run.trace"; then echo "FAIL: the scout fell on the winning run"; exit 1; fi ;;
esac
echo PASS
