#!/usr/bin/env bash
# logic_test.sh PELLIX: runs logic.fb against the real level script (from the
# data directory, where its IMPORTs are found) and compares with logic.out.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cd "${DATA_DIR:?}"
diff -u "$here/logic.out" <("$1" run "$here/logic.fb") && echo "PASS"
