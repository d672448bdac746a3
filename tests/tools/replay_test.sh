#!/usr/bin/env bash
# replay_test.sh REPLAY SOURCE_DIR DATA_DIR: the level runner plays a test level the
# same way every time, at the frames its rules predict, and reports bad inputs.
set -euo pipefail
replay=$1
here=$2/tests/tools/replay
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

mkdir -p "$work/level/script" "$work/level/map"
ln -s "$3/image" "$3/sound" "$work/level/"
cp "$2/tests/game/scripting/flat.map" "$work/level/map/"
cp "$here/timing.fb" "$work/level/script/main.fb"

run() { "$replay" --data "$work/level" "$@" 2>>"$work/stderr.log"; }

run --input "$here/walk.input" --shot 100:"$work/first.png" > "$work/first.trace" || fail "status $? on the first run"
run --input "$here/walk.input" --shot 100:"$work/second.png" > "$work/second.trace" || fail "status $? on the second run"
cmp "$work/first.trace" "$work/second.trace" || fail "two runs gave different traces"
cmp "$work/first.png" "$work/second.png" || fail "two runs gave different pictures"
trace=$work/first.trace

# Waits: the fade's 52 frames seen at the next 100 ms poll (7 frames), a second is 66 frames.
grep -qx "0 print start" "$trace" || fail "no start at frame 0"
grep -qx "56 print faded" "$trace" || fail "the fade did not end at frame 56"
before=$(sed -n 's/^122 print delayed //p' "$trace")
after=$(sed -n 's/^254 print walked //p' "$trace")
[ -n "$before" ] && [ -n "$after" ] || fail "the delays did not end at frames 122 and 254"
[ "$after" -gt $((before + 100)) ] || fail "holding D did not walk the player right ($before to $after)"
# The trigger lands on the player; the event is served at the event loop's next turn (7 frames apart).
event=$(sed -n 's/^\([0-9]*\) event OnPresent .*/\1/p' "$trace")
served=$(sed -n 's/^\([0-9]*\) print present$/\1/p' "$trace")
[ -n "$event" ] && [ -n "$served" ] || fail "no present event"
[ $(( (served - 254) % 7 )) -eq 0 ] && [ "$served" -ge "$event" ] && [ "$served" -lt $((event + 7)) ] ||
  fail "event at $event served at $served"
grep -qx "ended endgame" "$trace" || fail "the level did not end by endgame"
grep -q "^fighter .* Hero human colour 255 health 100 at $after " "$trace" || fail "no summary of the player"

# Where everyone is, for writing inputs: every N frames the camera and each fighter, the same
# place the summary gives when the run stops there.
# Lines are stamped with the frames run so far: after frames 0, 50, ..., 200 of 201.
run --input "$here/walk.input" --frames 201 --where 50 > "$work/where.trace" || true
[ "$(grep -c "^[0-9]*1 camera [0-9-]* [0-9-]*$" "$work/where.trace")" -eq 5 ] || fail "not five camera lines in 201 frames"
last=$(sed -n 's/^201 where [0-9]* Hero \([0-9-]* [0-9-]*\) health 100$/\1/p' "$work/where.trace")
[ -n "$last" ] && grep -q "^fighter .* Hero human colour 255 health 100 at $last\$" "$work/where.trace" ||
  fail "the place after 201 frames (${last:-none}) is not the summary's"

# The frames run out: status 3. A bad input file: status 1, the file and line, nothing runs.
set +e
run --frames 100 > "$work/short.trace"; status=$?
"$replay" --data "$work/level" --input "$here/bad.input" > "$work/bad.trace" 2> "$work/bad.err"; bad=$?
"$replay" --bogus 2>/dev/null; usage=$?
set -e
[ "$status" -eq 3 ] && grep -qx "ended frames" "$work/short.trace" || fail "frames ran out with status $status"
[ "$bad" -eq 1 ] || fail "a bad input file gave status $bad"
grep -qF "bad.input:2: frame 5 comes before frame 10" "$work/bad.err" || fail "no line number for the bad input"
[ ! -s "$work/bad.trace" ] || fail "the level ran despite a bad input file"
[ "$usage" -eq 2 ] || fail "a bad option gave status $usage"
echo "PASS"
