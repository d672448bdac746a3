#!/bin/sh
# Times `pellix run` on each benchmark beside the same program in Python 3 and Lua 5.4, and prints the ratios.
#
#   bench/script/run.sh [PELLIX] [RUNS]
#
# PELLIX is the pellix binary (default: build-script/tools/pellix/pellix under the repository root), RUNS the
# number of runs of each program (default 5); the best time counts. Outputs of the three programs are shown
# once so that they can be compared (Pellix floats are 32-bit, so the float benchmark differs in late digits).
set -eu

usage() {
    echo "usage: bench/script/run.sh [PELLIX] [RUNS]"
    echo "Times pellix against Python 3 and Lua 5.4 on six programs (PELLIX relative to the current directory)."
}
case ${1:-} in
    --help|-h) usage; exit 0 ;;
    -*) usage >&2; exit 2 ;;
esac

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
pellix=${1:-$root/build-script/tools/pellix/pellix}
runs=${2:-5}
# The benchmarks run from their own folder: a relative PELLIX is taken from where the script was started.
case $pellix in
    /*) ;;
    *) pellix=$(pwd)/$pellix ;;
esac
python=/usr/bin/python3

if [ ! -x "$pellix" ]; then
    echo "pellix not found at $pellix; build it first: cmake --build build-script --target pellix" >&2
    exit 1
fi
if ! command -v lua5.4 >/dev/null 2>&1; then
    echo "lua5.4 is missing; installing it from Debian" >&2
    apt-get install -y lua5.4 >/dev/null
fi

# Best wall time of $runs runs, in milliseconds.
best_time() {
    best=
    i=0
    while [ "$i" -lt "$runs" ]; do
        start=$(date +%s%N)
        "$@" >/dev/null
        end=$(date +%s%N)
        elapsed=$(( (end - start) / 1000000 ))
        if [ -z "$best" ] || [ "$elapsed" -lt "$best" ]; then
            best=$elapsed
        fi
        i=$((i + 1))
    done
    echo "$best"
}

ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN { if (b == 0) b = 1; printf "%.2f", a / b }'
}

cd "$here"
printf '%-18s %10s %10s %10s %14s %14s\n' benchmark "pellix ms" "python ms" "lua ms" "pellix/python" "pellix/lua"
for name in integer_loop nested_for mutual_recursion string_building float_arithmetic select_dispatch; do
    p=$(best_time "$pellix" run "$name.fb")
    y=$(best_time "$python" "$name.py")
    l=$(best_time lua5.4 "$name.lua")
    printf '%-18s %10s %10s %10s %14s %14s\n' "$name" "$p" "$y" "$l" "$(ratio "$p" "$y")" "$(ratio "$p" "$l")"
done
echo
echo "Outputs (pellix / python / lua):"
for name in integer_loop nested_for mutual_recursion string_building float_arithmetic select_dispatch; do
    printf '%-18s %s / %s / %s\n' "$name" "$("$pellix" run "$name.fb")" "$("$python" "$name.py")" \
        "$(lua5.4 "$name.lua" | tr '\t' ' ')"
done
echo "Targets: pellix/python below 1.00 and pellix/lua at most 2.50 on every benchmark."
