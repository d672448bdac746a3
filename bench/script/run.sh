#!/bin/sh
# Times `pellix run` on each benchmark beside the same program in Lua 5.4, LuaJIT and Python 3, and prints the
# ratios; then times `pellix check` on a generated script of 10,000 lines (what a level's load costs).
#
#   bench/script/run.sh [PELLIX] [RUNS]
#
# PELLIX is the pellix binary (default: build/tools/pellix/pellix under the repository root, the build that
# scripts/play.sh and scripts/test.sh make), RUNS the number of runs of each program (default 5); the median
# counts, so one run slowed by other work on the machine does not. Outputs are shown once so that they can be
# compared (Pellix floats are 32-bit, so the float benchmark differs in late digits). LuaJIT has no bit operators
# of Lua 5.4's, so a NAME.luajit.lua beside NAME.lua is what it runs where one exists.
set -eu

usage() {
    echo "usage: bench/script/run.sh [PELLIX] [RUNS]"
    echo "Times pellix against Lua 5.4, LuaJIT and Python 3 on six programs (PELLIX relative to the current directory)."
}
case ${1:-} in
    --help|-h) usage; exit 0 ;;
    -*) usage >&2; exit 2 ;;
esac

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
pellix=${1:-$root/build/tools/pellix/pellix}
runs=${2:-5}
# The benchmarks run from their own folder: a relative PELLIX is taken from where the script was started.
case $pellix in
    /*) ;;
    *) pellix=$(pwd)/$pellix ;;
esac
python=/usr/bin/python3

if [ ! -x "$pellix" ]; then
    echo "pellix not found at $pellix; build it first: ./scripts/build.sh" >&2
    exit 1
fi
for tool in lua5.4 luajit; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$tool is missing; installing it from Debian" >&2
        apt-get install -y "$tool" >/dev/null
    fi
done

# Wall time of one run, in milliseconds.
time_once() {
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    echo $(( (end - start) / 1000000 ))
}

# Median of the numbers given.
median() {
    printf '%s\n' "$@" | sort -n | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'
}

ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN { if (b == 0) b = 1; printf "%.2f", a / b }'
}

luajit_file() {
    if [ -f "$1.luajit.lua" ]; then echo "$1.luajit.lua"; else echo "$1.lua"; fi
}

benchmarks="integer_loop nested_for mutual_recursion string_building float_arithmetic select_dispatch"
cd "$here"
echo "pellix: $pellix, median of $runs runs"
printf '%-17s %9s %9s %9s %9s %11s %13s %13s\n' benchmark "pellix ms" "lua ms" "luajit ms" "python ms" \
    "pellix/lua" "pellix/luajit" "pellix/python"
# The four programs take turns, run after run, so that a change in the machine's speed while the table is
# made (a shared machine's neighbours) falls on all of them alike.
for name in $benchmarks; do
    p= l= j= y=
    i=0
    while [ "$i" -lt "$runs" ]; do
        p="$p $(time_once "$pellix" run "$name.fb")"
        l="$l $(time_once lua5.4 "$name.lua")"
        j="$j $(time_once luajit "$(luajit_file "$name")")"
        y="$y $(time_once "$python" "$name.py")"
        i=$((i + 1))
    done
    # shellcheck disable=SC2086 # the lists are numbers, split on purpose
    p=$(median $p) l=$(median $l) j=$(median $j) y=$(median $y)
    printf '%-17s %9s %9s %9s %9s %11s %13s %13s\n' "$name" "$p" "$l" "$j" "$y" \
        "$(ratio "$p" "$l")" "$(ratio "$p" "$j")" "$(ratio "$p" "$y")"
done

# A level script of 10,000 lines: many functions of loops, conditions, SELECTs and texts.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
awk 'BEGIN {
    for (f = 0; f < 667; f++) {
        printf "FUNCTION F%d(A, B)\n  X = A * 2 + B\n  IF X > 10 THEN\n    F%d = \"big\" + X\n", f, f
        printf "  ELSE\n    FOR I = 1 TO X\n      F%d = F%d + I\n    NEXT\n  END IF\n", f, f
        printf "  SELECT CASE X MOD 3\n  CASE 0, 1\n    X = 0\n  END SELECT\nEND FUNCTION\n\n"
    }
}' >"$work/long.fb"
lines=$(wc -l <"$work/long.fb")
"$pellix" check "$work/long.fb"
c=
i=0
while [ "$i" -lt "$runs" ]; do
    c="$c $(time_once "$pellix" check "$work/long.fb")"
    i=$((i + 1))
done
# shellcheck disable=SC2086
printf 'load and check, %s lines: %s ms\n' "$lines" "$(median $c)"

echo
echo "Outputs (pellix / lua / luajit / python):"
for name in $benchmarks; do
    printf '%-17s %s / %s / %s / %s\n' "$name" "$("$pellix" run "$name.fb")" "$(lua5.4 "$name.lua" | tr '\t' ' ')" \
        "$(luajit "$(luajit_file "$name")" | tr '\t' ' ')" "$("$python" "$name.py")"
done
echo "Targets: pellix/lua at most 0.75 everywhere; pellix/luajit at most 2.00 on integer_loop, nested_for,"
echo "float_arithmetic and select_dispatch; loading 10,000 lines under 50 ms."
