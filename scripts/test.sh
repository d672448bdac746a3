#!/usr/bin/env bash
# Builds everything and runs the whole test suite (unit tests, script tests, whole-game tests under Xvfb).
# Usage: scripts/test.sh                plain build in build/
#        scripts/test.sh --sanitize     AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
#        scripts/test.sh --thread       ThreadSanitizer build in build-tsan/
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
case "${1:-}" in
  --sanitize) build=$root/build-asan; options=(-DTORVANE_SANITIZER=address -DCMAKE_BUILD_TYPE=Debug) ;;
  --thread)   build=$root/build-tsan; options=(-DTORVANE_SANITIZER=thread -DCMAKE_BUILD_TYPE=Debug) ;;
  "")         build=$root/build; options=() ;;
  *) echo "usage: $0 [--sanitize|--thread]" >&2; exit 2 ;;
esac
"$root/scripts/build.sh" "$build" "${options[@]}"
# Leaks are errors; only those inside Allegro, OpenAL and X are suppressed, each with its reason.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1}
cd "$build"
# No test may hang the run: one without a time limit of its own gets ten minutes.
ctest --output-on-failure -j "$(nproc)" --timeout 600
