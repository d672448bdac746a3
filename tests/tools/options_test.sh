#!/usr/bin/env bash
# options_test.sh TOOL...: every tool answers --help with its usage on standard output and status 0, and a bad
# option with its usage on standard error and status 2; neither touches a file (they run in an empty directory).
set -euo pipefail
here=$(mktemp -d)
trap 'rm -rf "$here"' EXIT
for tool in "$@"; do
  name=$(basename "$tool")
  set +e
  (cd "$here" && "$tool" --help) >"$here/../options-out.$$" 2>"$here/../options-err.$$"
  status=$?
  set -e
  out=$(cat "$here/../options-out.$$"); err=$(cat "$here/../options-err.$$")
  rm -f "$here/../options-out.$$" "$here/../options-err.$$"
  [ "$status" -eq 0 ] || { echo "FAIL: $name --help exits $status"; exit 1; }
  [[ "$out" == usage:* ]] || { echo "FAIL: $name --help prints no usage: $out$err"; exit 1; }
  [ -z "$(ls -A "$here")" ] || { echo "FAIL: $name --help made $(ls -A "$here")"; exit 1; }

  set +e
  (cd "$here" && "$tool" --no-such-option) >/dev/null 2>"$here/../options-err.$$"
  status=$?
  set -e
  err=$(cat "$here/../options-err.$$"); rm -f "$here/../options-err.$$"
  [ "$status" -eq 2 ] || { echo "FAIL: $name --no-such-option exits $status"; exit 1; }
  [[ "$err" == usage:* ]] || { echo "FAIL: $name --no-such-option prints no usage: $err"; exit 1; }
  [ -z "$(ls -A "$here")" ] || { echo "FAIL: $name --no-such-option made $(ls -A "$here")"; exit 1; }
  echo "$name: --help and a bad option behave"
done
echo "PASS"
