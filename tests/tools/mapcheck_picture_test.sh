#!/usr/bin/env bash
# mapcheck_picture_test.sh MAPCHECK: a picture that cannot be written makes the check fail (status 1), while the
# same sound map drawn where it can be written passes.
set -euo pipefail
mapcheck=$1
here=$(mktemp -d)
trap 'rm -rf "$here"' EXIT
set +e
"$mapcheck" --picture "$here/no/such/folder/valley.bmp" map/valley.map >"$here/out.txt" 2>&1
status=$?
set -e
cat "$here/out.txt"
[ "$status" -eq 1 ] || { echo "FAIL: an unwritable picture gives status $status"; exit 1; }
grep -q "cannot draw the map into $here/no/such/folder/valley.bmp" "$here/out.txt" || { echo "FAIL: no message"; exit 1; }
"$mapcheck" --picture "$here/valley.bmp" map/valley.map
[ -s "$here/valley.bmp" ] || { echo "FAIL: no picture drawn"; exit 1; }
echo "PASS"
