# Sourced by every script that runs Windows programs. Windows programs are
# never run through /usr/bin/wine: Debian's script picks the 32-bit loader
# whenever it is installed, even on a machine whose kernel runs no 32-bit
# program. Each script calls the loader of its target's architecture.
WINE_LIB=/usr/lib/wine

# wine_loader ARCH: the loader for i686 or x86_64 programs.
wine_loader() {
  case "$1" in
    i686) echo "$WINE_LIB/wine" ;;
    *) echo "$WINE_LIB/wine64" ;;
  esac
}

# True when this machine runs 32-bit programs, found by trying Wine's 32-bit
# loader; WINE_32BIT_PROBLEM then says why not.
wine_runs_32bit() {
  local out
  if out=$("$WINE_LIB/wine" --version 2>&1); then
    WINE_32BIT_PROBLEM=""
    return 0
  fi
  WINE_32BIT_PROBLEM="$WINE_LIB/wine --version failed: $(echo "$out" | tail -n 1 | sed 's/^.*: //')"
  return 1
}

# The architecture that make run and make bench start: the 32-bit build where
# it runs, the 64-bit one where it does not.
wine_run_arch() {
  if wine_runs_32bit; then echo i686; else echo x86_64; fi
}

# wine_use ARCH: exports the environment that every Wine call of a script for
# that architecture shares. The 64-bit server serves 32-bit and 64-bit
# programs alike, so it is the one started wherever it is installed.
wine_use() {
  WINELOADER=$(wine_loader "$1")
  if [ -x "$WINE_LIB/wineserver64" ]; then WINESERVER="$WINE_LIB/wineserver64"
  else WINESERVER="$WINE_LIB/wineserver32"; fi
  export WINELOADER WINESERVER
  export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
  export WINEDEBUG="${WINEDEBUG:--all}"
  export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
}
