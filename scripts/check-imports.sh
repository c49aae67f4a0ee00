#!/usr/bin/env bash
# check-imports.sh OBJDUMP FILE: fails unless FILE imports just what every
# role needs: kernel32, user32, gdi32, advapi32 and the C runtime's msvcrt,
# which Windows always takes from its system folder (its known DLLs, whatever
# lies beside the program). Every other library (the shell's, the common
# dialogs', OLE's, the common controls) is loaded when a role first needs it,
# after the library search has been restricted. It fails if FILE imports a
# function that XP lacks (the runtime's GetTickCount64 is the program's own),
# and unless FILE carries no symbols.
set -euo pipefail
export LC_ALL=C  # objdump's words are read below
expected='advapi32.dll gdi32.dll kernel32.dll msvcrt.dll user32.dll'
dlls=$("$1" -p "$2" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u | xargs)
echo "imports of $(basename "$2"): $dlls"
if [ "$dlls" != "$expected" ]; then echo "expected the imports: $expected" >&2; exit 1; fi
vista_only='GetTickCount64|InitializeSRWLock|AcquireSRWLock\w*|InitializeConditionVariable|SleepConditionVariable\w*|WakeConditionVariable|WakeAllConditionVariable|InitOnceExecuteOnce|SetDefaultDllDirectories|AddDllDirectory'
if too_new=$("$1" -p "$2" | grep -owE "$vista_only" | sort -u | xargs) && [ -n "$too_new" ]; then
  echo "imports what XP lacks: $too_new" >&2; exit 1
fi
symbols=$(LC_ALL=C "$1" -t "$2")  # the message read below is the untranslated one
if ! grep -q 'no symbols' <<<"$symbols"; then
  echo "$(basename "$2") is not stripped: it carries a symbol table" >&2; exit 1
fi
echo "$(basename "$2"): stripped, $(stat -c %s "$2") bytes"
