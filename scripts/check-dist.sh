#!/usr/bin/env bash
# check-dist.sh ARCHIVE VERSION FOLDER: unpacks the release archive (made by
# scripts/dist.sh) into FOLDER, emptied first, and checks what needs no
# Wine: the archive holds exactly the files a user is promised, in one folder
# named with VERSION; each tolvarin.scr is built for its folder's processor
# and carries VERSION in its version block (as texts and as the fixed file
# and product versions); the read-me and licence are UTF-8 with a byte-order
# mark and CRLF line ends throughout; the read-me names VERSION; the
# checksums match. The program itself is run by the test dist_program.
set -uo pipefail
archive=$1 version=$2 folder=$3
top="$folder/tolvarin-$version"
status=0
fail() { echo "$*" >&2; status=1; }

[ -f "$archive" ] || { echo "no archive $archive: make dist (or make test) makes it" >&2; exit 1; }
rm -rf "$folder" && mkdir -p "$folder" && (cd "$folder" && cmake -E tar xf "$archive") || exit 1
files=$(cd "$folder" && find . -type f | sort | tr '\n' ' ')
wanted="./tolvarin-$version/32bit/tolvarin.scr ./tolvarin-$version/64bit/tolvarin.scr ./tolvarin-$version/LICENSE.txt ./tolvarin-$version/SHA256SUMS.txt ./tolvarin-$version/readme.txt "
[ "$files" = "$wanted" ] || fail "the archive holds: $files; wanted: $wanted"

# The machine field of the PE header: 014c for x86, 8664 for x64.
machine() {
  local at
  at=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tx2 -j$((at + 4)) -N2 "$1" | tr -d ' '
}
# The version texts, and the fixed versions after the block's signature
# FEEF04BD (each as its low word, the minor number, then its high word).
versions() {
  local at
  x86_64-w64-mingw32-strings -el "$1" | grep -A1 -xE 'FileVersion|ProductVersion' | grep -vxE 'FileVersion|ProductVersion|--'
  at=$(LC_ALL=C grep -obUaP '\xbd\x04\xef\xfe' "$1" | head -n 1 | cut -d: -f1)
  for field in 8 16; do od -An -tu2 -j$((at + field)) -N4 "$1" | awk '{print $2 "." $1}'; done
}
for processor in 32bit:014c 64bit:8664; do
  scr="$top/${processor%:*}/tolvarin.scr"
  [ "$(machine "$scr")" = "${processor#*:}" ] || fail "${processor%:*}/tolvarin.scr is built for another processor"
  [ "$(versions "$scr" | sort -u)" = "$version" ] || fail "${processor%:*}/tolvarin.scr carries the versions" $(versions "$scr")
done

for text in readme.txt LICENSE.txt SHA256SUMS.txt; do
  file="$top/$text"
  [ "$text" = SHA256SUMS.txt ] || [ "$(head -c3 "$file" | od -An -tx1 | tr -d ' ')" = efbbbf ] ||
    fail "$text does not begin with a UTF-8 byte-order mark"
  iconv -f UTF-8 -t UTF-8 "$file" >/dev/null 2>&1 || fail "$text is not UTF-8"
  [ "$(tr -d '\r' <"$file" | wc -l)" = "$(grep -c $'\r$' "$file")" ] || fail "$text has a line end without CR"
done
grep -q "Ver $version"$'\r$' "$top/readme.txt" || fail "readme.txt does not name version $version"
(cd "$top" && tr -d '\r' <SHA256SUMS.txt | sha256sum --check --quiet) || fail "a checksum does not match"
[ "$(tr -d '\r' <"$top/SHA256SUMS.txt" | wc -l)" = 4 ] || fail "SHA256SUMS.txt does not list the four other files"

[ "$status" -eq 0 ] && echo "dist: $(basename "$archive") holds every file, checked"
exit $status
