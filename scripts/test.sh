#!/usr/bin/env bash
# test.sh BUILD_ROOT: runs the test suites of both builds, each under Wine on
# a fresh throwaway prefix and a display of its own. The x86_64 suite runs
# on every machine; the i686 suite where the machine runs 32-bit programs.
# Where it cannot, the i686 build still gets the checks that need no Wine
# (what the shipped file imports, that it is stripped). Each suite that runs
# under Wine runs its tests labelled dpi first at a system DPI of 144, then
# the tests of several monitors (label monitors) on a display of two
# monitors of their own (TOLVARIN_MONITORS=2, whose stand-in library is
# built natively for 64 and 32 bits); every other test runs on the ordinary
# one-monitor display at 96 DPI, last (the dpi tests are part of
# dialogs_test there, and so not run twice). Fails when any run
# fails, and ends with ctest's summary of the last run.
set -uo pipefail
here=$(dirname "$0")
. "$here/wine-env.sh"
root=$(cd "$1" && pwd)
ctest_args=(--output-on-failure --timeout 600)

if wine_runs_32bit; then
  echo "test suites: i686 and x86_64, both in full"
  i686_label=()
else
  echo "test suites: x86_64 in full; i686 skipped but for its checks that need no Wine," \
       "because this machine cannot run 32-bit programs ($WINE_32BIT_PROBLEM)"
  i686_label=(-L nowine)
fi

rc=0
# The dpi tests of one architecture at 144 DPI, the monitor tests on two
# monitors, then the rest of its suite (whose summary comes last).
run_suite() {
  TOLVARIN_FRESH_PREFIX=1 TOLVARIN_DPI=144 "$here/with-test-env.sh" "$1" "$root/$1" \
    ctest --test-dir "$root/$1" "${ctest_args[@]}" -L dpi || rc=1
  TOLVARIN_FRESH_PREFIX=1 TOLVARIN_MONITORS=2 "$here/with-test-env.sh" "$1" "$root/$1" \
    ctest --test-dir "$root/$1" "${ctest_args[@]}" -L monitors || rc=1
  TOLVARIN_FRESH_PREFIX=1 "$here/with-test-env.sh" "$1" "$root/$1" \
    ctest --test-dir "$root/$1" "${ctest_args[@]}" -LE 'monitors|dpi' || rc=1
}
if [ "${#i686_label[@]}" -eq 0 ]; then
  run_suite i686
else
  ctest --test-dir "$root/i686" "${ctest_args[@]}" "${i686_label[@]}" || rc=1
fi
run_suite x86_64
exit $rc
