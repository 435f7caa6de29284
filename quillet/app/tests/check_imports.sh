#!/usr/bin/env bash
# Lists the DLLs a program imports and fails on any that is neither a system library nor the
# shipped PNG library.
set -eu
allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|advapi32|msvcrt|ole32|oleaut32|winmm|shlwapi|lpng)\.dll$'
dlls=$(i686-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$dlls" ] || { echo "no import table in $1"; exit 1; }
bad=0
for d in $dlls; do
  if [[ ! $d =~ $allowed ]]; then echo "unexpected import: $d"; bad=1; fi
done
echo "imports: $(echo $dlls)"
[ $bad -eq 0 ] && echo "1 passed, 0 failed" || { echo "0 passed, 1 failed"; exit 1; }
