#!/usr/bin/env bash
# assets_rebuild_test.sh BUILD_DIR DATA_DIR: a generated picture and a generated sound that are deleted come back
# with the next build, and a build with nothing missing does not run the asset tool.
set -euo pipefail
build=$1
data=$2
picture=$data/image/object/ground_short.bmp
sound=$data/sound/weapons/he_bounce-1.wav
[ -f "$picture" ] && [ -f "$sound" ] || { echo "FAIL: build the assets first"; exit 1; }
rm -f "$picture" "$sound"
cmake --build "$build" --target assets
[ -f "$picture" ] || { echo "FAIL: $picture was not made again"; exit 1; }
[ -f "$sound" ] || { echo "FAIL: $sound was not made again"; exit 1; }
out=$(cmake --build "$build" --target assets)
if grep -q "Drawing pictures" <<<"$out"; then echo "FAIL: nothing was missing, yet the tool ran"; exit 1; fi
echo "PASS"
