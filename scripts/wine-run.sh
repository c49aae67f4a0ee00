#!/usr/bin/env bash
# wine-run.sh ARCH PROGRAM [ARGS...]: runs a Windows program for ARCH (i686
# or x86_64) under Wine the way every test runs: the throwaway prefix and the
# display come from scripts/with-test-env.sh, the locale gives the ANSI code
# page 932, and the overrides keep Wine from asking to install Mono or Gecko
# (which would hang a headless run).
#
# The program's output goes through a file: Wine's own service processes,
# started on demand by the first program, would otherwise inherit the
# caller's pipe and keep it open after the program has ended.
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
  echo "wine-run.sh: no test environment; run through scripts/with-test-env.sh" >&2
  exit 2
fi
. "$(dirname "$0")/wine-env.sh"
arch="$1"; shift
wine_use "$arch"
log=$(mktemp)
"$WINELOADER" "$@" </dev/null >"$log" 2>&1
rc=$?
cat "$log"
rm -f "$log"
exit $rc
