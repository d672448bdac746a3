#!/usr/bin/env bash
# playtest_test.sh CASE PLAYTEST REPLAY SOURCE_DIR DATA_DIR: torvane-playtest on the small levels of
# tests/tools/playtest/, whose answers are known. Each level gets the real map and pictures.
#   known    the empty level is won at once, the raider level never, the present level by walking
#   seed     the same seed gives the same table and JSON; the game seeds follow the seed
#   saved    a kept run replays in torvane-replay to the same script lines and ending
#   options  a bad command line is status 2, a level that does not load status 1; nothing unasked is written
set -euo pipefail
case_name=$1
# Absolute, for the cases that run from a directory of their own.
playtest=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
replay=$(cd "$(dirname "$3")" && pwd)/$(basename "$3")
levels=$(cd "$4" && pwd)/tests/tools/playtest
data_dir=$(cd "$5" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

for level in empty raider present broken; do
  mkdir -p "$work/$level"
  cp -r "$levels/$level/script" "$work/$level/"
  for folder in image map sound; do ln -s "$data_dir/$folder" "$work/$level/$folder"; done
done
# A table's line for a figure, for each player in turn.
figure() { grep -E "^  $1 " "$2" | sed -E "s/^  $1 +//"; }

case "$case_name" in
  known)
    "$playtest" --data "$work/empty" --runs 2 > "$work/empty.out"
    [ "$(figure won "$work/empty.out" | sort -u)" = "2 of 2 (2 without dying)" ] || fail "the empty level is not won by every run"
    [ "$(figure "time to win" "$work/empty.out" | sort -u)" = "median 0:00, worst 0:00" ] || fail "the empty level takes time"
    [ "$(figure deaths "$work/empty.out" | sort -u)" = 0 ] || fail "deaths on the empty level"
    [ "$(grep -c "^steady:\|^shaky:\|^rusher:" "$work/empty.out")" = 3 ] || fail "not every player played"

    "$playtest" --data "$work/raider" --runs 2 --skill rusher --minutes 0.5 > "$work/raider.out"
    [ "$(figure won "$work/raider.out")" = "0 of 2 (0 without dying)" ] || fail "the raider level was won"
    # Both runs end at the limit, 30 s of game time.
    [ "$(grep -cE '^ +[12] +[0-9]+ +time +0:30 ' "$work/raider.out")" = 2 ] || fail "the runs did not stop at --minutes"
    grep -qE '^  deaths +[1-9][0-9]*: .* by Sniper' "$work/raider.out" || fail "no death by the Sniper"
    grep -qE '^ +1 +40 / 40 ' "$work/raider.out" || fail "the 40 pistol bullets at wave 1 are not counted"

    "$playtest" --data "$work/present" --runs 3 --skill steady --minutes 1 > "$work/present.out"
    [ "$(figure won "$work/present.out")" = "3 of 3 (3 without dying)" ] || fail "the present level was not won by walking"
    [ "$(figure "presents taken" "$work/present.out")" = "median 1, fewest 1, most 1" ] || fail "the present is not counted"
    figure "time to win" "$work/present.out" | grep -qE '^median 0:0[1-9], worst 0:[0-9]{2}$' ||
      fail "walking to the present takes no time: $(figure "time to win" "$work/present.out")" ;;
  seed)
    for try in 1 2; do
      "$playtest" --data "$work/raider" --runs 2 --skill shaky --seed 7 --minutes 0.3 --json "$work/$try.json" > "$work/$try.out"
    done
    cmp "$work/1.out" "$work/2.out" || fail "the same seed gave two tables"
    cmp "$work/1.json" "$work/2.json" || fail "the same seed gave two JSON files"
    "$playtest" --data "$work/raider" --runs 2 --skill shaky --seed 8 --minutes 0.3 > "$work/3.out"
    seeds() { grep -E '^ +[12] +[0-9]+ +[a-z]+ +[0-9]+:' "$1" | awk '{print $2}'; }
    [ "$(seeds "$work/1.out" | sort -u | wc -l)" = 2 ] || fail "two runs share a game seed"
    [ "$(seeds "$work/1.out")" != "$(seeds "$work/3.out")" ] || fail "another seed gave the same games" ;;
  saved)
    for level in present raider; do
      "$playtest" --data "$work/$level" --runs 1 --skill rusher --minutes 0.5 --save-input "$work/$level.input" \
        --json "$work/$level.json" > /dev/null
      seed=$(sed -nE '1s/.*--seed ([0-9]+)$/\1/p' "$work/$level.input")
      end=$(sed -nE '2s/^# ending [a-z]+ at frame ([0-9]+)$/\1/p' "$work/$level.input")
      [ -n "$seed" ] && [ -n "$end" ] || fail "the kept $level run does not say its seed and ending"
      set +e
      "$replay" --data "$work/$level" --input "$work/$level.input" --seed "$seed" --frames "$end" > "$work/$level.trace" 2>/dev/null
      set -e
      sed -nE 's/^# ([0-9]+ print .*)$/\1/p' "$work/$level.input" > "$work/kept.lines"
      awk -v end="$end" '$2 == "print" && $1 <= end' "$work/$level.trace" > "$work/replayed.lines"
      [ -s "$work/kept.lines" ] || fail "the kept $level run has no script lines"
      diff "$work/kept.lines" "$work/replayed.lines" || fail "the replayed $level run printed other lines"
    done
    grep -q "^# ending won " "$work/present.input" || fail "the present run was not won"
    grep -qE '^[0-9]+ endgame$' "$work/present.trace" || fail "the replayed present run did not end the game"
    deaths=$(grep -o '"by": "Sniper"' "$work/raider.json" | wc -l || true)
    [ "$deaths" -gt 0 ] && [ "$(grep -cE '^[0-9]+ death [0-9]+ Scout$' "$work/raider.trace")" = "$deaths" ] ||
      fail "the replayed raider run has other deaths than the kept one ($deaths)" ;;
  options)
    cd "$work"
    for bad in "--runs 0" "--runs x" "--skill expert" "--minutes -1" "--minutes 0" "--seed -3" "--colour red" "--runs"; do
      set +e
      # shellcheck disable=SC2086
      "$playtest" --data "$work/empty" $bad > /dev/null 2> "$work/err"
      status=$?
      set -e
      [ "$status" = 2 ] && grep -q "^usage:" "$work/err" || fail "\"$bad\" gave status $status, not 2 with the usage"
    done
    "$playtest" --help | grep -qE '^  rusher +0\.30 s' || fail "--help does not give the players' figures"
    set +e
    "$playtest" --data "$work/broken" --runs 1 > "$work/out" 2> "$work/err"; broken=$?
    "$playtest" --data "$work/nowhere" --runs 1 > /dev/null 2>&1; nowhere=$?
    set -e
    [ "$broken" = 1 ] && grep -q "cannot be played" "$work/err" || fail "a level that does not load gave status $broken"
    [ "$nowhere" = 1 ] || fail "a missing level gave status $nowhere"
    before=$(find "$work" | sort)
    "$playtest" --data "$work/empty" --runs 1 > /dev/null
    [ "$(find "$work" | sort)" = "$before" ] || fail "files were written unasked" ;;
  *) echo "usage: $0 known|seed|saved|options PLAYTEST REPLAY SOURCE_DIR DATA_DIR" >&2; exit 2 ;;
esac
echo PASS
