#!/usr/bin/env bash
# Runs a Windows program under Wine the way every test runs: the throwaway
# prefix and the display come from scripts/with-test-env.sh, the locale gives
# the ANSI code page 932, and the overrides keep Wine from asking to install
# Mono or Gecko (which would hang a headless run).
#
# The program's output goes through a file: Wine's own service processes,
# started on demand by the first program, would otherwise inherit the
# caller's pipe and keep it open after the program has ended.
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
  echo "wine-run.sh: no test environment; run through scripts/with-test-env.sh" >&2
  exit 2
fi
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
log=$(mktemp)
wine "$@" </dev/null >"$log" 2>&1
rc=$?
cat "$log"
rm -f "$log"
exit $rc
