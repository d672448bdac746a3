#!/usr/bin/env bash
# pictures_test.sh MAPCHECK: everything the level scripts name exists in the
# data directory: every present's picture, every role's animation description
# and sprite sheets, and every map, which must also pass the map checker (it
# checks the map's piece pictures), the versus maps among them.
set -euo pipefail
mapcheck=$1
cd "${DATA_DIR:?}"
problems=0
named() {  # named PATTERN: the first quoted word after PATTERN, in every level script
  grep -ohE "$1\(?\s*\"[^\"]+\"" script/*.fb | sed -E 's/.*"([^"]+)"/\1/' | sort -u
}
presents=$(named 'addPresent')
[ -n "$presents" ] || { echo "FAIL: no addPresent found in script/*.fb"; exit 1; }
for name in $presents; do
  [ -f "image/object/$name.bmp" ] || { echo "missing present picture image/object/$name.bmp"; problems=1; }
done
# The role is addPlayer's third argument.
roles=$(grep -ohE 'addPlayer\([^,]+,[^,]+,\s*"[^"]+"' script/*.fb | sed -E 's/.*"([^"]+)"/\1/' | sort -u)
[ -n "$roles" ] || { echo "FAIL: no addPlayer with a role found in script/*.fb"; exit 1; }
for role in $roles; do
  config=image/role/$role/config.dat
  [ -f "$config" ] || { echo "missing $config"; problems=1; continue; }
  for sheet in $(grep -oE 'image/[^ ]+\.bmp' "$config"); do
    [ -f "$sheet" ] || { echo "missing sprite sheet $sheet named by $config"; problems=1; }
  done
done
# A name built at run time (the versus maps' folder) is checked as the maps in that folder.
maps=$( (named 'loadMap' | grep -v '/$'; ls map/versus/*.map) | sort -u)
[ -n "$maps" ] || { echo "FAIL: no loadMap found in script/*.fb"; exit 1; }
for map in $maps; do
  "$mapcheck" "$map" || problems=1
done
[ "$problems" -eq 0 ] || { echo "FAIL"; exit 1; }
echo "PASS: presents $(echo $presents), roles $(echo $roles), maps $(echo $maps)"
