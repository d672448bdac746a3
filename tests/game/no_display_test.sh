#!/usr/bin/env bash
# no_display_test.sh BINARY: without any display the game says it cannot start and exits 0; without an audio
# device it says so in one line; --help prints the usage (status 0) and a bad option too (status 2).
set -euo pipefail
binary=$1
out=$(mktemp)
trap 'rm -f "$out"' EXIT
set +e
( cd "${DATA_DIR:?}" && env -u DISPLAY "$binary" ) >"$out" 2>&1
status=$?
set -e
cat "$out"
[ "$status" -eq 0 ] || { echo "FAIL: exit status $status"; exit 1; }
grep -qx "Starting Torvane ..." "$out" || { echo "FAIL: no start-up line"; exit 1; }
grep -qx "Failed to start game." "$out" || { echo "FAIL: no failure line"; exit 1; }
if grep -q "signal" "$out"; then echo "FAIL: crashed"; exit 1; fi

# No audio device at all: one line says so, not one per sound.
set +e
( cd "$DATA_DIR" && env -u DISPLAY ALSOFT_DRIVERS=no-such-driver "$binary" ) >"$out" 2>&1
set -e
cat "$out"
[ "$(grep -ci "sound\|al buffer" "$out")" -eq 1 ] || { echo "FAIL: not exactly one line about sound"; exit 1; }

# Options: the usage, touching nothing; status 0 when asked for, 2 for anything else.
here=$(mktemp -d)
trap 'rm -f "$out"; rm -rf "$here"' EXIT
set +e
( cd "$here" && env -u DISPLAY "$binary" --help ) >"$out" 2>&1
status=$?
set -e
[ "$status" -eq 0 ] && grep -q "^usage: " "$out" || { cat "$out"; echo "FAIL: --help gave status $status"; exit 1; }
set +e
( cd "$here" && env -u DISPLAY "$binary" --bogus ) >"$out" 2>&1
status=$?
set -e
[ "$status" -eq 2 ] && grep -q "^usage: " "$out" || { cat "$out"; echo "FAIL: a bad option gave status $status"; exit 1; }
grep -q "Starting" "$out" && { echo "FAIL: a bad option started the game"; exit 1; }
[ -z "$(ls -A "$here")" ] || { echo "FAIL: options left files behind"; exit 1; }
echo "PASS"
