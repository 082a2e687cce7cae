#!/usr/bin/env bash
# Fails when the executable imports any DLL that a bare Windows 10/11 does
# not ship: the program must run from a single copied file.
set -euo pipefail
exe=${1:?usage: check-imports.sh FILE.exe}
allowed='^(kernel32|user32|gdi32|shell32|comctl32|ole32|oleaut32|advapi32|msvcrt|windowscodecs|uxtheme)\.dll$'
status=0
while read -r dll; do
  if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -qE "$allowed"; then
    echo "error: $exe imports $dll, which is not part of Windows" >&2
    status=1
  fi
done < <(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
[ "$status" -eq 0 ] && echo "ok: $(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')"
exit "$status"
