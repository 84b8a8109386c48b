#!/usr/bin/env bash
# The launcher runs elevated from wherever it was downloaded to. Every DLL it imports must be
# one the system loads from its own folder (or, for the common controls, from the side-by-side
# store named in the manifest), never one found next to the program.
set -u
objdump=$1
program=$2
allowed=" advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll shell32.dll user32.dll "
status=0
while read -r dll; do
    lower=$(printf '%s' "$dll" | tr 'A-Z' 'a-z')
    case "$allowed" in
        *" $lower "*) ;;
        *) echo "imports $dll, which a planted copy beside the program could replace"; status=1 ;;
    esac
done < <("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p')
exit $status
