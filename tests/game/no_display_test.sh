#!/usr/bin/env bash
# no_display_test.sh BINARY: without any display the game says it cannot start and exits 0.
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
echo "PASS"
