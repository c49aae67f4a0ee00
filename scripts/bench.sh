#!/usr/bin/env bash
# bench.sh BUILD_ROOT: runs the session benchmark and the movies' loop
# benchmark (twice: with and without Media Foundation's player) under Wine,
# in an environment of their own (scripts/with-test-env.sh), and prints
# their figures.
# It runs the 32-bit build where the machine runs 32-bit programs and the
# 64-bit build where it does not, and says which.
set -euo pipefail
here=$(dirname "$0")
. "$here/wine-env.sh"
root=$(cd "$1" && pwd)
arch=$(wine_run_arch)
echo "bench: the $arch build ($root/$arch)"
# The display has no sound card: ALSA's complaints about it are left out.
bench() {
    "$here/with-test-env.sh" "$arch" "$root/$arch" "$here/wine-run.sh" "$arch" "$root/$arch/tests/$1.exe" 2>&1 |
        { grep --line-buffered -v '^ALSA lib' || true; }
}
bench session_bench
bench loop_bench
# The movies' loop once more with Media Foundation's player kept from the program.
WINEDLLOVERRIDES="mscoree,mshtml,mfplay=" bench loop_bench
