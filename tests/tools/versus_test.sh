#!/usr/bin/env bash
# versus_test.sh CASE REPLAY TORVANE TORVANE_VERSUS SOURCE_DIR DATA_DIR [--update]: team battles.
#   options   every program that takes --match refuses an unknown map naming the maps there are, and
#             numbers out of range, before any window opens; --help lists the maps
#   rules     one against one on a small arena, computer fighters alone: every fall is one point for
#             the other team, the fallen comes back three seconds later at his own end with his weapons,
#             and the first to the score ends the match
#   timeup    the same arena with a score nobody reaches: the clock ends the match with OnTimeUp
#   again     you on the arena, standing still until you fall: the results, Enter plays again, Escape quits
#   spectate  eight against eight on the rooftops, played to its end: the trace kept beside this script
#             (after a deliberate change to the rules or the brain, run with --update and keep it)
set -euo pipefail
case_name=$1
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
replay=$(absolute "$2") torvane=$(absolute "$3") versus=$(absolute "$4") source_dir=$5 data_dir=$(cd "$6" && pwd)
here=$source_dir/tests/tools/versus
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

case "$case_name" in
options)
  for program in "$torvane" "$versus" "$replay"; do
    name=$(basename "$program")
    for args in "--match nowhere" "--match quarry --team-size 9" "--match rooftops --score 0" \
                "--match quarry --minutes 2x" "--team-size 2"; do
      set +e
      (cd "$data_dir" && DISPLAY= "$program" $args) > "$work/out" 2> "$work/err"
      status=$?
      set -e
      [ "$status" -eq 2 ] || fail "$name $args: status $status"
      case "$args" in
        "--match nowhere") grep -q 'there is no versus map "nowhere"; the maps are quarry and rooftops' "$work/err" ;;
        *team-size\ 9) grep -q -- "--team-size 9 is not a whole number from 1 to 8" "$work/err" ;;
        *score\ 0) grep -q -- "--score 0 is not a whole number from 1 to 999" "$work/err" ;;
        *minutes\ 2x) grep -q -- "--minutes 2x is not a whole number from 1 to 60" "$work/err" ;;
        *) grep -q -- "--match needs the name of a versus map; the maps are quarry and rooftops" "$work/err" ;;
      esac || fail "$name $args says: $(cat "$work/err")"
    done
  done
  for program in "$torvane" "$versus"; do
    (cd "$data_dir" && "$program" --help) | grep -q "The versus maps: quarry and rooftops." ||
      fail "$(basename "$program") --help lists no maps"
  done
  set +e
  (cd "$data_dir" && "$replay" --spectate) > /dev/null 2>&1
  status=$?
  set -e
  [ "$status" -eq 2 ] || fail "--spectate without --match: status $status" ;;

rules|timeup|again)
  mkdir -p "$work/data"
  cp -r "$here/map" "$work/data/"
  ln -s "$data_dir/image" "$data_dir/sound" "$data_dir/script" "$work/data/"
  if [ "$case_name" = again ]; then
    printf '1500 key down Enter\n1503 key up Enter\n2500 key down Escape\n' > "$work/input"
    "$replay" --data "$work/data" --match arena --team-size 1 --score 1 --input "$work/input" > "$work/trace" 2> "$work/log" ||
      fail "status $?: $(tail -5 "$work/trace")"
    grep -q "^[0-9]* results KR 0 : 1 KT$" "$work/trace" || fail "no results after the fall: $(cat "$work/trace")"
    [ "$(grep -c "print versus: arena, 1 against 1, first to 1$" "$work/trace")" -eq 2 ] ||
      fail "Enter did not build the battle again"
    grep -q "print versus: play again$" "$work/trace" || fail "no play again"
    grep -q "^ended escape$" "$work/trace" || fail "Escape did not quit"
    echo PASS
    exit 0
  fi
  score=3; [ "$case_name" = timeup ] && score=999
  set +e
  "$replay" --data "$work/data" --match arena --team-size 1 --score "$score" --minutes 1 --spectate \
    > "$work/trace" 2> "$work/log"
  status=$?
  set -e
  [ "$status" -eq 0 ] || fail "status $status: $(tail -5 "$work/trace")"
  grep -q "ended endgame" "$work/trace" || fail "the match did not end the game"
  # Score lines: each fall adds one point to the other team, and only to it.
  awk '
    / print versus: [0-9]+ downed [0-9]+, KR [0-9]+ : [0-9]+ KT$/ {
      kr = $(NF - 3); kt = $(NF - 1)
      if (kr + kt != falls + 1) { print "FAIL: the score went from " falls " to " kr + kt " points"; bad = 1 }
      falls = kr + kt
    }
    END { if (falls < 2) { print "FAIL: only " falls " falls"; bad = 1 } exit bad }' "$work/trace" || exit 1
  # Each fallen fighter is back three seconds (198 frames) after his fall was scored, at his own end.
  awk '
    / print versus: [0-9]+ downed [0-9]+,/ { split($6, v, ","); due[v[1]] = $1 + 198 }
    / event OnRespawn / {
      id = $4; x = $5
      if (!(id in due) || $1 != due[id]) { print "FAIL: " id " came back at frame " $1 ", not " due[id]; bad = 1 }
      delete due[id]; back++
    }
    END { if (back < 1) { print "FAIL: nobody came back"; bad = 1 } exit bad }' "$work/trace" || exit 1
  grep -q "event OnRespawn [0-9]* \([0-9]\|[0-9][0-9]\|[0-2][0-9][0-9]\) " "$work/trace" ||
    fail "nobody came back at the west end"
  grep -q "event OnRespawn [0-9]* 1[3-5][0-9][0-9] " "$work/trace" || fail "nobody came back at the east end"
  if [ "$case_name" = rules ]; then
    grep -q "print versus: final score KR \(3 : [0-2]\|[0-2] : 3\) KT$" "$work/trace" ||
      fail "no final score of 3: $(grep final "$work/trace")"
    ! grep -q "OnTimeUp" "$work/trace" || fail "the clock ran out although the score was reached"
  else
    # A minute of frames after the fade-in that starts the clock.
    grep -Eq "^(39[6-9][0-9]|40[0-9][0-9]) event OnTimeUp" "$work/trace" || fail "the clock did not end after a minute"
    grep -q "print versus: final score" "$work/trace" || fail "no final score"
  fi ;;

spectate)
  set +e
  "$replay" --data "$data_dir" --match rooftops --team-size 8 --spectate > "$work/trace" 2> "$work/log"
  status=$?
  set -e
  [ "$status" -eq 0 ] || fail "status $status: $(tail -5 "$work/trace")"
  grep -q "print versus: final score KR \(20 : [0-9]*\|[0-9]* : 20\) KT$" "$work/trace" ||
    fail "the battle did not end with a team at 20: $(grep final "$work/trace")"
  if [ "${7:-}" = --update ]; then
    cp "$work/trace" "$here/rooftops_8v8.trace"
    echo "updated $here/rooftops_8v8.trace"
    exit 0
  fi
  diff "$here/rooftops_8v8.trace" "$work/trace" || fail "the battle differs from its kept trace" ;;
*)
  echo "usage: $0 options|rules|timeup|again|spectate REPLAY TORVANE TORVANE_VERSUS SOURCE_DIR DATA_DIR [--update]" >&2
  exit 2 ;;
esac
echo PASS
