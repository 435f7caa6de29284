#!/usr/bin/env bash
# Lists the libraries a program imports and fails for any that is neither a system library nor
# xmlparse.dll.
set -eu
objdump=$1 exe=$2
allowed='^(kernel32|user32|gdi32|advapi32|shell32|comctl32|comdlg32|wininet|ws2_32|wsock32|ole32|oleaut32|msvcrt|xmlparse)\.dll$'
names=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$names" ] || { echo "no import table found in $exe"; exit 1; }
bad=0
for n in $names; do
  if ! [[ $n =~ $allowed ]]; then echo "unexpected import: $n"; bad=1; fi
done
echo "imports:" $names
grep -qx 'xmlparse.dll' <<<"$names" || { echo "xmlparse.dll is not imported"; bad=1; }
exit $bad
