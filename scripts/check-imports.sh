#!/usr/bin/env bash
# check-imports.sh OBJDUMP FILE: fails unless FILE imports only DLLs that
# Windows always takes from its system folder (its known DLLs, whatever lies
# beside the program), plus comctl32, which the manifest binds to the
# system's side-by-side copy; and unless it carries no symbols.
set -euo pipefail
export LC_ALL=C  # objdump's words are read below
allowed='^(kernel32|user32|gdi32|advapi32|shell32|comdlg32|ole32|oleaut32|msvcrt|imm32|comctl32)\.dll$'
dlls=$("$1" -p "$2" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
echo "imports of $(basename "$2"):" $dlls
bad=$(echo "$dlls" | grep -Ev "$allowed" || true)
if [ -n "$bad" ]; then echo "not a system DLL: $bad" >&2; exit 1; fi
symbols=$(LC_ALL=C "$1" -t "$2")  # the message read below is the untranslated one
if ! grep -q 'no symbols' <<<"$symbols"; then
  echo "$(basename "$2") is not stripped: it carries a symbol table" >&2; exit 1
fi
echo "$(basename "$2"): stripped, $(stat -c %s "$2") bytes"
