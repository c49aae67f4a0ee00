#!/usr/bin/env bash
# check-imports.sh OBJDUMP FILE: fails unless FILE imports only DLLs that
# every Windows from XP on has, and carries no symbols.
set -euo pipefail
allowed='^(kernel32|user32|gdi32|advapi32|shell32|comctl32|comdlg32|ole32|oleaut32|msvcrt|msvfw32|winmm|version|imm32)\.dll$'
dlls=$("$1" -p "$2" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
echo "imports of $(basename "$2"):" $dlls
bad=$(echo "$dlls" | grep -Ev "$allowed" || true)
if [ -n "$bad" ]; then echo "not a system DLL: $bad" >&2; exit 1; fi
symbols=$(LC_ALL=C "$1" -t "$2")  # the message read below is the untranslated one
if ! grep -q 'no symbols' <<<"$symbols"; then
  echo "$(basename "$2") is not stripped: it carries a symbol table" >&2; exit 1
fi
echo "$(basename "$2"): stripped, $(stat -c %s "$2") bytes"
