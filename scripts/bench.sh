#!/usr/bin/env bash
# bench.sh BUILD_ROOT: runs the session benchmark and the movies' loop
# benchmark under Wine, in an environment of their own
# (scripts/with-test-env.sh), and prints their figures.
# It runs the 32-bit build where the machine runs 32-bit programs and the
# 64-bit build where it does not, and says which.
set -euo pipefail
here=$(dirname "$0")
. "$here/wine-env.sh"
root=$(cd "$1" && pwd)
arch=$(wine_run_arch)
echo "bench: the $arch build ($root/$arch)"
for bench in session_bench loop_bench; do
  "$here/with-test-env.sh" "$arch" "$root/$arch" "$here/wine-run.sh" "$arch" "$root/$arch/tests/$bench.exe"
done
