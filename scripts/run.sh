#!/usr/bin/env bash
# run.sh BUILD_ROOT: starts the configuration program under Wine. On the
# current display when there is one; otherwise on an Xvfb display of its
# own, with a screenshot saved into BUILD_ROOT/run/screenshot.png.
set -uo pipefail
root=$(cd "$1" && pwd)
run="$root/run"
mkdir -p "$run"
cp "$root/i686/tolvarin.scr" "$run/tolvarin.scr"

if [ -n "${DISPLAY:-}" ]; then
  export WINEPREFIX="$run/wineprefix"
  export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  exec wine "$run/tolvarin.scr" "${@:2}"
fi

# No display: show it on one of our own and take a picture of it.
export RUN_FOLDER="$run"
exec "$(dirname "$0")/with-test-env.sh" "$run" bash -c '
  wine "$RUN_FOLDER/tolvarin.scr" >/dev/null 2>&1 &
  for _ in $(seq 1 300); do
    if xdotool search --name "トルヴァリン君" >/dev/null 2>&1; then
      sleep 1
      import -window root "$RUN_FOLDER/screenshot.png" && echo "screenshot: $RUN_FOLDER/screenshot.png"
      exit 0
    fi
    sleep 0.1
  done
  echo "run.sh: the program did not show its window" >&2
  exit 1'
