#!/usr/bin/env bash
# level_soak_test.sh BINARY SECONDS: the level's fights run for about SECONDS
# (tests/game/levels/soak.fb: a scout and raiders that cannot die, a fresh map
# every cycle) and the game ends by itself with status 0, without a sanitizer
# report; resident memory after the first minute grows by less than 5 % (from
# the mean of the earlier half of the cycles to that of the later half); and the
# frame rate, measured on a 300-frame bubble in every cycle, stays at 40 frames
# a second or more. Prints the figures.
DATA_DIR=${DATA_DIR:?}
source "$(dirname "$0")/XvfbSession.sh"
source "$(dirname "$0")/LevelSession.sh"
binary=$1
seconds=${2:-60}
# A cycle takes about 26 seconds: a fresh start, the wave walking in, the fight, the bubble.
cycles=$(( (seconds + 25) / 26 ))
[ "$cycles" -ge 3 ] || cycles=3
use_level soak.fb
sed -i "s/^CONST Cycles = .*/CONST Cycles = $cycles/" "$DATA_DIR/script/main.fb"

start_xvfb
start_game "$binary"
wait_for_window "Collision Test" >/dev/null
started=$(date +%s)
: > "$work/memory.log"
bubble_start=""
cycle=0
rss=0
while kill -0 "$game_pid" 2>/dev/null; do
  # Resident memory, read all along: the game may end right after its last line.
  sample=$(awk '/^VmRSS/ { print $2 }' "/proc/$game_pid/status" 2>/dev/null || true)
  [ -z "$sample" ] || rss=$sample
  # Each bubble's start and end, as the game writes them, timed here.
  lines=$(grep -c "^soak: bubble" "$work/out.log" || true)
  if [ "$lines" -gt $(( cycle * 2 )) ] && [ -z "$bubble_start" ]; then
    bubble_start=$(date +%s.%N)
  fi
  if [ "$lines" -ge $(( (cycle + 1) * 2 )) ]; then
    now=$(date +%s.%N)
    cycle=$(( cycle + 1 ))
    fps=$(awk -v a="$bubble_start" -v b="$now" 'BEGIN { printf "%.1f", 300 / (b - a) }')
    echo "cycle $cycle: $(( $(date +%s) - started )) s, resident $rss kB, $fps frames a second" | tee -a "$work/memory.log"
    bubble_start=""
  fi
  [ $(( $(date +%s) - started )) -lt $(( cycles * 90 + 60 )) ] || fail "the soak did not end by itself"
  sleep 0.05
done
wait_for_exit 5
if grep -E "ERROR: (Address|Leak|Undefined|Thread)Sanitizer|runtime error:" "$work/err.log"; then
  fail "sanitizer report"
fi
[ "$game_status" -eq 0 ] || { cat "$work/err.log"; fail "exit status $game_status"; }
grep -qxF "soak: done" "$work/out.log" || fail "the soak did not finish its cycles"
no_script_errors
[ "$cycle" -eq "$cycles" ] || fail "measured $cycle cycles of $cycles"
# Memory is judged from the first cycle after the first minute (at least the
# second: the first fresh map settles the allocator). A sanitizer's quarantine
# makes single samples swing by a tenth, so the mean of the later half of the
# samples is held against the mean of the earlier half; a run too short for four
# samples only prints them.
awk '{ rss[NR] = $6; if ($8 < 40) low = low " " $8; if (!first && $3 >= 60) first = NR }
     END {
       if (low != "") { print "FAIL: frame rate fell to" low; exit 1 }
       base = first > 2 ? first : 2
       count = NR - base + 1
       if (count < 4) { print "too short to judge memory"; exit 0 }
       half = int(count / 2)
       for (i = 0; i < half; ++i) { early += rss[base + i]; late += rss[NR - i] }
       early /= half; late /= half
       printf "resident memory: mean %d kB from cycle %d on, %d kB in the last %d cycles\n", early, base, late, half
       if (late > early * 1.05) { print "FAIL: resident memory grows"; exit 1 }
     }' "$work/memory.log" || fail "see the figures above"
echo "PASS: $cycles cycles in $(( $(date +%s) - started )) s"
