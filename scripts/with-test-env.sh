#!/usr/bin/env bash
# with-test-env.sh ARCH ROOT COMMAND...
# Starts an Xvfb display of its own and a Wine server on the prefix
# ROOT/wineprefix, runs COMMAND in that environment, and stops both again
# whatever happens, so that nothing is left running. ARCH (i686 or x86_64)
# picks the Wine loader that makes the prefix and runs its tools.
# TOLVARIN_FRESH_PREFIX=1 throws an existing prefix away first.
# TOLVARIN_MONITORS=2 gives two monitors side by side instead of one: one
# wide screen without RANDR, and a stand-in libXinerama.so.1 built natively
# (for 64 and for 32 bits) from tests/monitors/ (see there) that every Wine
# process of the prefix (ROOT/wineprefix-monitors, apart from the one-monitor
# prefix) loads first.
# TOLVARIN_DPI=N gives the programs a system DPI of N, on a prefix of its own
# (ROOT/wineprefix-dpiN), so that the usual prefix stays at 96.
set -uo pipefail
. "$(dirname "$0")/wine-env.sh"
arch="$1"
root=$(mkdir -p "$2" && cd "$2" && pwd); shift 2

dpi="${TOLVARIN_DPI:-}"
export WINEPREFIX="$root/wineprefix${dpi:+-dpi$dpi}"
screen=1024x768x24
xvfb_options=()
if [ "${TOLVARIN_MONITORS:-1}" = 2 ]; then
  export WINEPREFIX="$root/wineprefix-monitors"
  standin_source="$(cd "$(dirname "$0")/.." && pwd)/tests/monitors/xinerama_standin.c"
  # One for the 64-bit Wine processes and one for the 32-bit ones; each
  # process's loader passes over the one of the other kind.
  for bits in 64 32; do
    standin="$root/monitors/$bits/libXinerama.so.1"
    if [ ! -f "$standin" ] || [ "$standin_source" -nt "$standin" ]; then
      mkdir -p "$root/monitors/$bits"
      gcc -m$bits -shared -fPIC -nostdlib -O2 -Wall -Wextra -Werror -o "$standin" "$standin_source" || exit 1
    fi
  done
  export LD_LIBRARY_PATH="$root/monitors/64:$root/monitors/32${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
  screen=1824x768x24
  xvfb_options=(-extension RANDR)
fi
wine_use "$arch"
wine() { "$WINELOADER" "$@"; }
wineserver() { "$WINESERVER" "$@"; }

xvfb_pid=""
# Wine processes that run on our prefix, found by their environment.
prefix_processes() {
  local pid
  for pid in $(grep -lsxzF "WINEPREFIX=$WINEPREFIX" /proc/[0-9]*/environ 2>/dev/null |
               sed 's|/proc/\([0-9]*\)/environ|\1|'); do
    [ "$pid" = "$$" ] && continue
    { tr '\0' ' ' <"/proc/$pid/cmdline"; } 2>/dev/null | grep -qiE 'wine|\.exe|\.scr' && echo "$pid"
  done
}
cleanup() {
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  for _ in $(seq 1 100); do
    [ -z "$(prefix_processes)" ] && break
    sleep 0.1
  done
  left=$(prefix_processes)
  [ -n "$left" ] && kill -9 $left >/dev/null 2>&1
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" >/dev/null 2>&1
    wait "$xvfb_pid" 2>/dev/null
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A display of our own: the first number with neither a lock nor a socket.
display=""
for n in $(seq 90 190); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
    Xvfb ":$n" -screen 0 "$screen" "${xvfb_options[@]}" -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 200); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.05
    done
    if [ -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
    kill "$xvfb_pid" >/dev/null 2>&1; wait "$xvfb_pid" 2>/dev/null; xvfb_pid=""
  fi
done
if [ -z "$display" ]; then echo "with-test-env.sh: no free X display" >&2; exit 1; fi
export DISPLAY="$display"

if [ "${TOLVARIN_FRESH_PREFIX:-0}" = 1 ]; then rm -rf "$WINEPREFIX"; fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wine wineboot -i >/dev/null 2>&1
  wineserver -w
  # Windows' Japanese faces are not on Linux: map them to the IPA faces so
  # that dialogs and screenshots look as they do on a Japanese Windows.
  key='HKCU\Software\Wine\Fonts\Replacements'
  for pair in "ＭＳ Ｐゴシック=IPAPGothic" "ＭＳ ゴシック=IPAGothic" "ＭＳ 明朝=IPAMincho" \
              "MS PGothic=IPAPGothic" "MS Gothic=IPAGothic" "MS Mincho=IPAMincho"; do
    wine reg add "$key" /v "${pair%%=*}" /d "${pair#*=}" /f >/dev/null 2>&1
  done
  # No window manager runs on the display: Wine draws captions and frames
  # itself, so windows look as they do on Windows.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # Wine applies the DPI to every program from the server's next start.
  if [ -n "$dpi" ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  fi
  # Wine's Direct3D draws with OpenGL by default, and on Xvfb what it draws
  # into a child window (the video renderer's, for every movie on the
  # DirectShow device) never reaches the screen: have it draw through GDI.
  wine reg add 'HKCU\Software\Wine\Direct3D' /v renderer /d gdi /f >/dev/null 2>&1
  wineserver -w
fi
wineserver -p >/dev/null 2>&1

"$@"
rc=$?
exit $rc
