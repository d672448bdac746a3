#!/usr/bin/env bash
# install_test.sh BUILD_DIR VERSION: cmake --install into a fresh prefix, then the installed copy is used as a
# player would: the level runner started from / finds its data beside its bin/ (the data made read-only, so
# nothing may write there), every program gives the version, the desktop entries pass desktop-file-validate and
# every program has its manual page. A copy of a program with no data anywhere names the places it looked.
set -euo pipefail
build=$1 version=$2
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" > "$work/install.log" || fail "install: $(tail -5 "$work/install.log")"

programs=(torvane torvane-versus torvane-replay torvane-playtest pellix torvane-mapcheck)
for program in "${programs[@]}"; do
  [ -x "$prefix/bin/$program" ] || fail "no $prefix/bin/$program"
  [ "$("$prefix/bin/$program" --version)" = "$program $version" ] || fail "$program --version: $("$prefix/bin/$program" --version)"
  case $program in torvane|torvane-versus) section=6 ;; *) section=1 ;; esac
  page=$prefix/share/man/man$section/$program.$section.gz
  [ -f "$page" ] && zcat "$page" | sed 's/\\-/-/g' | grep -q "^$program - " || fail "no manual page $page"
done
for file in share/torvane/script/main.fb share/torvane/map/outpost.map share/torvane/map/versus/quarry.map \
            share/torvane/image/gui/bullet.bmp share/doc/torvane/README.md share/doc/torvane/level/README.md \
            share/doc/torvane/script/README.md share/icons/hicolor/scalable/apps/torvane.svg; do
  [ -s "$prefix/$file" ] || fail "$file is not installed"
done
ls "$prefix"/share/torvane/sound/weapons/*.wav > /dev/null || fail "no sounds installed"
for entry in torvane torvane-versus; do
  desktop-file-validate "$prefix/share/applications/$entry.desktop" || fail "$entry.desktop does not validate"
done
grep -q "^Name=KR v.s. KT$" "$prefix/share/applications/torvane-versus.desktop" || fail "the versus entry is not named KR v.s. KT"

# From /, with no TORVANE_DATA and a home of its own: the outpost's first frames. The data is made read-only, and
# (as root may write there all the same) nothing in it may be newer afterwards.
chmod -R a-w "$prefix/share/torvane"
mkdir "$work/home"
touch "$work/before"
set +e
(cd / && env -u TORVANE_DATA HOME="$work/home" XDG_DATA_HOME= XDG_CONFIG_HOME= XDG_STATE_HOME= \
  "$prefix/bin/torvane-replay" --frames 200 --trace "$work/outpost.trace") 2> "$work/replay.err"
status=$?
set -e
[ "$status" -eq 3 ] || fail "torvane-replay from / exits $status (3: the frames ran out): $(cat "$work/replay.err")"
grep -q "^0 print outpost: start 1$" "$work/outpost.trace" || fail "the outpost did not start: $(head -3 "$work/outpost.trace")"
grep -q "^frames 200$" "$work/outpost.trace" && grep -q "^ended frames$" "$work/outpost.trace" ||
  fail "no summary of 200 frames: $(tail -5 "$work/outpost.trace")"
[ -z "$(ls -A "$work/home")" ] || fail "the level runner wrote into the home: $(ls -A "$work/home")"
[ -z "$(find "$prefix/share/torvane" -newer "$work/before")" ] ||
  fail "the level runner wrote into its data: $(find "$prefix/share/torvane" -newer "$work/before")"

# A program alone, with no data beside it, in a directory without script/main.fb.
mkdir -p "$work/alone/bin"
cp "$prefix/bin/torvane-mapcheck" "$work/alone/bin/"
set +e
(cd "$work/home" && env -u TORVANE_DATA "$work/alone/bin/torvane-mapcheck" map/outpost.map) > /dev/null 2> "$work/alone.err"
status=$?
set -e
[ "$status" -eq 2 ] || fail "with no data torvane-mapcheck exits $status"
[ "$(wc -l < "$work/alone.err")" -eq 1 ] &&
  grep -q "no game data (script/main.fb) found in the current directory $work/home, $work/alone/share/torvane; give --data DIR or set TORVANE_DATA" "$work/alone.err" ||
  fail "the places looked in are not named on one line: $(cat "$work/alone.err")"
echo "PASS"
