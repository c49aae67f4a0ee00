#!/usr/bin/env bash
# dist.sh BUILD_ROOT OUT [--test]: makes OUT/tolvarin-<version>.zip, what a
# user downloads, from the two builds: one folder tolvarin-<version> with
# the 32-bit and the 64-bit tolvarin.scr in the folders 32bit and 64bit, the
# read-me (release/readme.txt) and the licence (LICENSE) as texts that
# Notepad reads on any system (UTF-8 with a byte-order mark, CRLF line
# ends), and their SHA-256 checksums. Every name in it is ASCII, since
# Explorer reads the names in the system's code page. The version is the
# build's (CMakeLists.txt), which both builds must agree on.
# With --test, the archive's tests run afterwards (ctest label dist), in the
# build of the architecture that this machine runs (scripts/wine-env.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source=$(dirname "$here")
root=$(cd "$1" && pwd)
out=$2
. "$here/wine-env.sh"

version_of() {
  sed -n 's/^#define TOLVARIN_VERSION_TEXT "\(.*\)"$/\1/p' "$root/$1/generated/tolvarin_version.h"
}
version=$(version_of i686)
if [ -z "$version" ] || [ "$version" != "$(version_of x86_64)" ]; then
  echo "dist: the two builds' versions differ ('$version', '$(version_of x86_64)')" >&2
  exit 1
fi

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
top="$stage/tolvarin-$version"
mkdir -p "$top/32bit" "$top/64bit"
cp "$root/i686/tolvarin.scr" "$top/32bit/tolvarin.scr"
cp "$root/x86_64/tolvarin.scr" "$top/64bit/tolvarin.scr"
notepad_text() {
  printf '\xEF\xBB\xBF'
  sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$1"
}
notepad_text "$source/release/readme.txt" >"$top/readme.txt"
notepad_text "$source/LICENSE" >"$top/LICENSE.txt"
(cd "$top" && sha256sum readme.txt LICENSE.txt 32bit/tolvarin.scr 64bit/tolvarin.scr |
   sed 's/$/\r/' >SHA256SUMS.txt)

mkdir -p "$out"
archive="$(cd "$out" && pwd)/tolvarin-$version.zip"
rm -f "$archive"
(cd "$stage" && cmake -E tar cf "$archive" --format=zip "tolvarin-$version")
echo "dist: $archive ($(stat -c %s "$archive") bytes)"

if [ "${3:-}" = --test ]; then
  arch=$(wine_run_arch)
  "$here/with-test-env.sh" "$arch" "$root/$arch" \
    ctest --test-dir "$root/$arch" --output-on-failure -L dist
fi
