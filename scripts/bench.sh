#!/usr/bin/env bash
# bench.sh BUILD_ROOT: runs the session benchmark under Wine (inside
# with-test-env.sh, which gives it a display and a prefix) and prints its figures.
set -euo pipefail
root=$(cd "$1" && pwd)
exec "$(dirname "$0")/wine-run.sh" "$root/i686/tests/session_bench.exe"
