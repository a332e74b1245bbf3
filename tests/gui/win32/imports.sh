#!/bin/sh
# Checks that a Windows program imports only DLLs that every Windows has, and
# that it is a GUI program (no console window on a double-click).
#
#   imports.sh OBJDUMP PROGRAM.exe
set -u
objdump=$1
programme=$2
entete=$("$objdump" -p "$programme") || exit 1
status=0
for dll in $(printf '%s\n' "$entete" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
  case $(printf '%s' "$dll" | tr 'A-Z' 'a-z') in
    kernel32.dll | user32.dll | gdi32.dll | comctl32.dll | shell32.dll | ole32.dll | oleaut32.dll | oleacc.dll | \
    msvcrt.dll | advapi32.dll) ;;
    *) echo "imports.sh: $programme needs $dll, which is not part of Windows" >&2; status=1 ;;
  esac
done
if ! printf '%s\n' "$entete" | grep -q '^Subsystem[[:space:]].*(Windows GUI)'; then
  echo "imports.sh: $programme is not a GUI program" >&2
  status=1
fi
exit $status
