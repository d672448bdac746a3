#!/bin/sh
# Builds the libFuzzer targets of the script engine with clang and runs each for a number of seconds.
#
#   fuzz/run.sh [SECONDS] [TARGET...]
#
# SECONDS defaults to 600 per target; TARGET defaults to fuzz_pellix_load and fuzz_pellix_run, run one after
# the other. The seed corpus is fuzz/corpus (real scripts); what the fuzzer adds goes to
# build-fuzz/fuzz-work/TARGET/corpus and crashes to build-fuzz/fuzz-work/TARGET/artifacts. A crash found here
# belongs in tests/script/regressions/ (test_script replays every file there on both interpreters), or, when
# it loops without end and so needs the step budget of this build, in fuzz/corpus (replayed by every run).
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
seconds=${1:-600}
[ $# -gt 0 ] && shift
targets=${*:-fuzz_pellix_load fuzz_pellix_run}
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
    # IMPORTs resolve against the working directory: give them an empty one.
    if (cd "$work/cwd" && "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -max_len=4096 \
            -dict="$here/pellix.dict" -artifact_prefix="$work/artifacts/" -print_final_stats=1 \
            "$work/corpus" "$here/corpus") >"$work/log.txt" 2>&1; then
        grep -E "^stat::number_of_executed_units|^stat::peak_rss_mb|Done [0-9]+ runs" "$work/log.txt" || true
    else
        echo "$target found a problem:"
        tail -40 "$work/log.txt"
        status=1
    fi
done
exit $status
