#!/usr/bin/env bash
# run.sh BUILD_ROOT [demo]: starts the changer under Wine from BUILD_ROOT/run.
# Without "demo" it opens the configuration program; with it, it sets up a
# demonstration list (the test screen saver, a test movie and a test
# program, switching every minute) and runs a saver session.
# On the current display when there is one; otherwise on an Xvfb display of
# its own, with a screenshot saved into BUILD_ROOT/run/screenshot.png.
# It starts the 32-bit build where the machine runs 32-bit programs and the
# 64-bit build where it does not, and says which.
set -uo pipefail
here=$(dirname "$0")
. "$here/wine-env.sh"
root=$(cd "$1" && pwd)
mode="${2:-}"
run="$root/run"
arch=$(wine_run_arch)
build="$root/$arch"
if [ "$arch" = i686 ]; then echo "run: starting the 32-bit build ($build/tolvarin.scr)"
else echo "run: starting the 64-bit build ($build/tolvarin.scr): this machine cannot run 32-bit programs"; fi
mkdir -p "$run"
cp "$build/tolvarin.scr" "$run/tolvarin.scr"

arguments=()
caption="トルヴァリン君"
if [ "$mode" = demo ]; then
  cp "$build/fixtures/test_saver.scr" "$run/demo_saver.scr"
  cp "$build/fixtures/test_program.exe" "$run/demo_program.exe"
  cp "$build/fixtures/clips/clip.avi" "$run/demo.avi"
  folder='Z:'$(echo "$run" | tr '/' '\\')
  on=$(printf '\x81\x9b')
  {
    printf '[LIST]\r\nentry=2\r\n'
    printf 'List0=%s%s\\demo_saver.scr\r\n' "$on" "$folder"
    printf 'List1=%s%s\\demo.avi\r\n' "$on" "$folder"
    printf 'List2=%s%s\\demo_program.exe\r\n' "$on" "$folder"
    printf '[OTHER]\r\nOrder=1\r\n[TIMER]\r\nON/OFF=1\r\nTime=1\r\n'
    printf '[EXE_CONFIG]\r\n%s\\demo_program.exe@mouse=1\r\n%s\\demo_program.exe@change=1\r\n' "$folder" "$folder"
  } > "$run/tolvarin.ini"
  arguments=(/s)
  caption="test_saver"
fi

if [ -n "${DISPLAY:-}" ]; then
  export WINEPREFIX="$run/wineprefix"
  wine_use "$arch"
  exec "$WINELOADER" "$run/tolvarin.scr" "${arguments[@]}"
fi

# No display: show it on one of our own and take a picture of it.
export RUN_FOLDER="$run" RUN_CAPTION="$caption" RUN_MODE="$mode"
exec "$here/with-test-env.sh" "$arch" "$run" bash -c '
  if [ "$RUN_MODE" = demo ]; then "$WINELOADER" "$RUN_FOLDER/tolvarin.scr" /s >/dev/null 2>&1 &
  else "$WINELOADER" "$RUN_FOLDER/tolvarin.scr" >/dev/null 2>&1 & fi
  for _ in $(seq 1 300); do
    if xdotool search --name "$RUN_CAPTION" >/dev/null 2>&1; then
      sleep 1
      import -window root "$RUN_FOLDER/screenshot.png" && echo "screenshot: $RUN_FOLDER/screenshot.png"
      exit 0
    fi
    sleep 0.1
  done
  echo "run.sh: the program did not show its window" >&2
  exit 1'
