#!/bin/sh
# Builds the libFuzzer targets with clang and runs each for a number of seconds.
#
#   fuzz/run.sh [SECONDS] [TARGET...]
#
# SECONDS defaults to 600 per target; TARGET defaults to all five, run one after the other: fuzz_pellix_load
# and fuzz_pellix_run (scripts; seed corpus fuzz/corpus, real scripts), fuzz_map_file (map files; seeds in
# fuzz/corpus-map), fuzz_role_description (role config.dat files; seeds in fuzz/corpus-role; run in the data
# directory so that the sheets its seeds name are loaded and cut) and fuzz_net_packet (network messages; seeds
# in fuzz/corpus-net). What the fuzzer adds goes to build-fuzz/fuzz-work/TARGET/corpus and crashes to
# build-fuzz/fuzz-work/TARGET/artifacts. A crash found here belongs in tests/script/regressions/ (test_script
# replays every file there on both interpreters), or, when it loops without end and so needs the step budget of
# this build, in fuzz/corpus (replayed by every run); a map or role finding becomes a test in
# tests/core/MapFileTest.cpp or tests/fighters/AnimationTest.cpp, a message finding a row in
# tests/core/NetPacketTest.cpp.
set -eu

case ${1:-} in
    --help|-h) echo "usage: fuzz/run.sh [SECONDS] [TARGET...]"; sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "usage: fuzz/run.sh [SECONDS] [TARGET...]" >&2; exit 2 ;;
esac

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
seconds=${1:-600}
[ $# -gt 0 ] && shift
targets=${*:-fuzz_pellix_load fuzz_pellix_run fuzz_map_file fuzz_role_description fuzz_net_packet}
build=${BUILD_DIR:-$root/build-fuzz}

if ! command -v clang++ >/dev/null 2>&1; then
    echo "clang is missing; installing it and its fuzzer runtime from Debian" >&2
    apt-get install -y clang libclang-rt-14-dev >/dev/null
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DTORVANE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target $targets

status=0
for target in $targets; do
    work=$build/fuzz-work/$target
    mkdir -p "$work/corpus" "$work/artifacts" "$work/cwd"
    echo "== $target for $seconds s (log: $work/log.txt)"
    case $target in
        # IMPORTs resolve against the working directory: give them an empty one.
        fuzz_pellix_*) cwd=$work/cwd; seeds=$here/corpus; extra=-dict=$here/pellix.dict ;;
        # Without pictures to load the map reader runs a hundred times faster; the checker still runs.
        fuzz_map_file) cwd=$work/cwd; seeds=$here/corpus-map; extra= ;;
        fuzz_net_packet) cwd=$work/cwd; seeds=$here/corpus-net; extra= ;;
        *) cwd=$root/data; seeds=$here/corpus-role; extra= ;;
    esac
    if (cd "$cwd" && "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -max_len=4096 \
            $extra -artifact_prefix="$work/artifacts/" -print_final_stats=1 \
            "$work/corpus" "$seeds") >"$work/log.txt" 2>&1; then
        grep -E "^stat::number_of_executed_units|^stat::peak_rss_mb|Done [0-9]+ runs" "$work/log.txt" || true
    else
        echo "$target found a problem:"
        tail -40 "$work/log.txt"
        status=1
    fi
done
exit $status
