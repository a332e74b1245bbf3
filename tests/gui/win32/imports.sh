#!/bin/sh
# Checks that a Windows program imports only DLLs that every Windows has, and
# that it is of its subsystem: GUI for IL3_Setup.exe (no console window on a
# double-click), console for IL3_Setup.com (a prompt waits for it).
#
#   imports.sh OBJDUMP PROGRAM [gui|console]      (gui when not named)
set -u
objdump=$1
programme=$2
case ${3:-gui} in
  gui) sous_systeme=00000002 ;;
  console) sous_systeme=00000003 ;;
  *) echo "imports.sh: subsystem gui or console, not $3" >&2; exit 2 ;;
esac
entete=$("$objdump" -p "$programme") || exit 1
status=0
for dll in $(printf '%s\n' "$entete" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
  case $(printf '%s' "$dll" | tr 'A-Z' 'a-z') in
    kernel32.dll | user32.dll | gdi32.dll | comctl32.dll | shell32.dll | ole32.dll | oleaut32.dll | oleacc.dll | \
    msvcrt.dll | advapi32.dll) ;;
    *) echo "imports.sh: $programme needs $dll, which is not part of Windows" >&2; status=1 ;;
  esac
done
if ! printf '%s\n' "$entete" | grep -q "^Subsystem[[:space:]]*$sous_systeme[[:space:]]"; then
  echo "imports.sh: $programme is not a ${3:-gui} program: $(printf '%s\n' "$entete" | grep '^Subsystem')" >&2
  status=1
fi
exit $status
