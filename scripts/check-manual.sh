#!/usr/bin/env bash
# check-manual.sh FOLDER: fails unless every page of the manual in FOLDER is
# well-formed (xmllint reads it as XML, which also takes its bytes as UTF-8
# and refuses any that are not), declares UTF-8 as its encoding, and links
# only to files of the folder, by their names alone: many browsers lose the
# "#part" of an address that names a file, so the manual uses none.
set -uo pipefail
cd "$1" || exit 1
status=0
fail() { echo "$page: $*" >&2; status=1; }
for page in *.html; do
  xmllint --noout "$page" || status=1
  grep -qF '<meta charset="utf-8" />' "$page" || fail 'no <meta charset="utf-8" />'
  for target in $(grep -o 'href="[^"]*"' "$page" | sed 's/^href="//; s/"$//'); do
    case "$target" in
      *'#'* | *:* | */*) fail "link $target: only a file of the manual, by name, without #" ;;
      *) [ -f "$target" ] || fail "link $target: no such file" ;;
    esac
  done
done
[ "$status" -eq 0 ] && echo "manual: $(ls *.html | wc -l) pages, well-formed UTF-8, links resolve"
exit $status
