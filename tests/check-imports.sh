#!/bin/bash
# Fails when a program imports a DLL that Windows itself does not provide: the program runs
# elevated from the temp folder, so a DLL beside it could be planted there.
set -u
objdump=$1; shift
allowed='^(kernel32|user32|gdi32|advapi32|shell32|ole32|msvcrt|ntdll|shlwapi)\.dll$'
status=0
for exe in "$@"; do
  dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
  [ -n "$dlls" ] || { echo "FAIL $exe: no import table found"; status=1; continue; }
  while read -r dll; do
    if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$allowed"; then
      echo "FAIL $exe imports $dll"
      status=1
    fi
  done <<< "$dlls"
  echo "$exe imports:" $dlls
done
exit $status
