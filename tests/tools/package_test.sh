#!/usr/bin/env bash
# package_test.sh BUILD_DIR VERSION: cpack makes torvane_VERSION_ARCH.deb (in a scratch directory, not the build's);
# its control names the run-time libraries, section games and a maintainer; unpacked with dpkg -x, the level
# runner in its usr/games/ started from another directory plays the outpost's first frames; lintian finds no
# error in it.
set -euo pipefail
build=$1 version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" > "$work/cpack.log" 2>&1 ||
  fail "cpack: $(tail -5 "$work/cpack.log")"
deb=$work/out/torvane_${version}_$(dpkg --print-architecture).deb
[ -s "$deb" ] || fail "no $(basename "$deb"): $(ls "$work/out")"

depends=$(dpkg-deb -f "$deb" Depends)
for library in liballegro4.4 libopenal1 libalut0 libenet7; do
  [[ ", $depends" == *", $library "* || ", $depends," == *", $library,"* ]] || fail "Depends lacks $library: $depends"
done
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "section $(dpkg-deb -f "$deb" Section)"
[[ "$(dpkg-deb -f "$deb" Maintainer)" == *\<*@*\> ]] || fail "maintainer $(dpkg-deb -f "$deb" Maintainer)"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version $(dpkg-deb -f "$deb" Version)"

dpkg -x "$deb" "$work/root"
mkdir "$work/elsewhere"
set +e
(cd "$work/elsewhere" && env -u TORVANE_DATA HOME="$work/elsewhere" \
  "$work/root/usr/games/torvane-replay" --frames 100) > "$work/outpost.trace" 2> "$work/replay.err"
status=$?
set -e
[ "$status" -eq 3 ] || fail "the packaged torvane-replay exits $status: $(cat "$work/replay.err")"
grep -q "^0 print outpost: start 1$" "$work/outpost.trace" && grep -q "^frames 100$" "$work/outpost.trace" ||
  fail "the outpost was not played: $(cat "$work/outpost.trace")"

if ! command -v lintian > /dev/null; then
  echo "SKIP: lintian is not installed (scripts/setup.sh installs it); the package was not linted"
  echo "PASS"
  exit 0
fi
set +e
lintian --allow-root "$deb" > "$work/lintian.txt" 2>&1
status=$?
set -e
cat "$work/lintian.txt"
[ "$status" -eq 0 ] && ! grep -q "^E: " "$work/lintian.txt" || fail "lintian exits $status"
echo "PASS"
