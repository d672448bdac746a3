#!/usr/bin/env bash
# script_run_test.sh SOURCE_DIR PELLIX: bench/script/run.sh takes the pellix path relative to where it is started,
# as its usage line shows, and answers --help.
set -euo pipefail
source_dir=$1
pellix=$2
# Read whole: "grep -q" may stop reading early, and under pipefail the writer's broken pipe would fail the check.
help=$("$source_dir/bench/script/run.sh" --help)
grep -q "^usage: " <<<"$help" || { echo "FAIL: no usage"; exit 1; }
# A relative path from the directory the tool lives in.
cd "$(dirname "$pellix")"
out=$("$source_dir/bench/script/run.sh" "./$(basename "$pellix")" 1)
echo "$out"
grep -q "^integer_loop " <<<"$out" || { echo "FAIL: no benchmark ran"; exit 1; }
echo "PASS"
