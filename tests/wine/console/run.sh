#!/usr/bin/env bash
# IL3_Setup.com under Wine, as a command prompt runs it for "IL3_Setup": the
# program's lines on cmd's output (directly and through a pipe), its
# exit status in %ERRORLEVEL%, the arguments as typed, a French message when
# the .exe is not beside it, and no child left running once it is interrupted
# or killed. Also its subsystem and imports, its icon and version.
# Usage: run.sh NATIVE_BUILD_DIR WIN_BUILD_DIR
set -uo pipefail
top="$(cd "$(dirname "$0")/../../.." && pwd)"
com=$(find "$2" -type f -name IL3_Setup.com | head -n 1)
exe=${com%.com}.exe
[ -n "$com" ] && [ -f "$exe" ] || { echo "console: IL3_Setup.com or IL3_Setup.exe not built" >&2; exit 2; }

export IL3_WINEPREFIX="${IL3_CONSOLE_PREFIX:-${TMPDIR:-/tmp}/il3-console-wine-$(id -u)}"
wine_run="$top/scripts/wine-run"
"$wine_run" cmd /c exit 0 >/dev/null 2>&1 || true
drive="$IL3_WINEPREFIX/drive_c"
work=$(mktemp -d "${TMPDIR:-/tmp}/il3-console.XXXXXX")
enfants=()
fin() {
  local p
  for p in "${enfants[@]}"; do kill -KILL "$p" 2>/dev/null; done
  WINEPREFIX="$IL3_WINEPREFIX" wineserver -k 2>/dev/null
  rm -rf "$work" "$drive/il3-console"
}
trap fin EXIT
rm -rf "$drive/il3-console"
fails=0
check() {  # description, expected, actual
  if [ "$2" = "$3" ]; then echo "ok   $1"; else echo "FAIL $1: expected [$2], got [$3]"; fails=$((fails + 1)); fi
}
contains() {  # description, needle, haystack
  case "$3" in *"$2"*) echo "ok   $1";; *) echo "FAIL $1: [$2] not in [$3]"; fails=$((fails + 1));; esac
}

# bin: the two programs; seul: the .com alone; orphelin: the .com beside a
# stand-in that runs until its input ends (Wine's find).
mkdir -p "$drive/il3-console/bin" "$drive/il3-console/seul" "$drive/il3-console/orphelin"
cp "$exe" "$com" "$drive/il3-console/bin/"
cp "$com" "$drive/il3-console/seul/"
cp "$com" "$drive/il3-console/orphelin/"
cp "$drive/windows/system32/find.exe" "$drive/il3-console/orphelin/IL3_Setup.exe"

# invite FOLDER LINE: the line typed at a prompt in C:\il3-console\FOLDER, then
# "echo statut %ERRORLEVEL%", as a batch file (Wine would escape the quotes of
# a line given to cmd /c), which cmd reads in the console's code page (437 or
# 850, where É is the same byte). Leaves cmd's output in $sortie, its errors in
# $erreurs.
invite() {
  printf '@echo off\r\ncd /d C:\\il3-console\\%s\r\n%s\r\necho statut %%ERRORLEVEL%%\r\n' "$1" "$2" |
    iconv -f UTF-8 -t CP850 >"$drive/il3-console/invite.bat"
  sortie=$("$wine_run" cmd /c 'C:\il3-console\invite.bat' 2>"$work/erreurs" | tr -d '\r')
  erreurs=$(tr -d '\r' <"$work/erreurs")
}
statut() { printf '%s\n' "$sortie" | tail -n 1; }

site='--app-dir C:\il3-console\App\ --folder 1=C:\il3-console\Config\'
invite bin "IL3_Setup --silent $site folders structural general"
check "a good run: statut 0 once it is over" "statut 0" "$(statut)"
contains "its info: lines on cmd's output" "info: Paramétrage créé ou MAJ" "$sortie"
contains "its changed: lines on cmd's output" 'changed: C:\il3-console\Config\KV_Pub.ini: fichier créé' "$sortie"
invite bin "IL3_Setup --silent $site --folder 1=Q:\\Absent\\ general"
check "a failing run: statut 1" "statut 1" "$(statut)"
contains "its error: line" "error: Dossier de config non trouvé: Q:" "$sortie"
invite bin "IL3_Setup --silent"
check "a wrong command line: statut 2" "statut 2" "$(statut)"
contains "its reason on cmd's error output" "--silent sans action" "$erreurs"

invite bin 'IL3_Setup --silent --app-dir C:\il3-console\Tube\ --folder 1=C:\il3-console\Config\ structural | find "changed:"'
contains "through a pipe" 'changed: C:\il3-console\Tube\Settings\IL3_Config.ini: fichier créé' "$sortie"
invite bin 'IL3_Setup --silent 2>&1 | find "sans action"'
contains "errors through a pipe" "--silent sans action" "$sortie"

# The quotes, blanks and accents as typed, the .com named by its quoted path.
invite bin 'IL3_Setup --silent --app-dir C:\il3-console\Guillemets\ --folder 1=C:\il3-console\Config\ --radio "Radio  Été \"Nord\"" structural'
check "a quoted argument: statut 0" "statut 0" "$(statut)"
invite bin '"C:\il3-console\bin\IL3_Setup.com" ini get C:\il3-console\Guillemets\Settings\IL3_Config.ini Site Lib -'
check "the quoted argument reached the program whole" 'Radio  Été "Nord"' "$(printf '%s\n' "$sortie" | head -n 1)"

invite seul "IL3_Setup --version"
check "without the .exe: statut 2" "statut 2" "$(statut)"
check "without the .exe: why, in French" 'IL3_Setup.exe introuvable à côté de IL3_Setup.com: C:\il3-console\seul\IL3_Setup.exe' "$erreurs"

# The child writes straight to our handles: its line is there while it runs.
# Ctrl+C (SIGINT, for Wine) or a kill of the .com ends it too.
enfant_vivant() { pgrep -f -x 'C:\\il3-console\\orphelin\\IL3_Setup\.exe xy' >/dev/null; }
enfant_parti() { ! enfant_vivant; }
attendre() {  # what, then a command that must become true within 10 s
  local n
  for n in $(seq 100); do "${@:2}" && return 0; sleep 0.1; done
  echo "     (waited 10 s for $1)"
  return 1
}
for signal in INT KILL; do
  rm -f "$work/entree"
  mkfifo "$work/entree"
  exec 7<>"$work/entree"
  "$wine_run" 'C:\il3-console\orphelin\IL3_Setup.com' xy <"$work/entree" >"$work/vivant" &
  p=$!
  enfants+=("$p")
  attendre "the child" enfant_vivant
  if [ "$signal" = INT ]; then
    echo "xy en direct" >&7
    attendre "its line" grep -q "xy en direct" "$work/vivant"
    check "the child's output arrives while it runs" "xy en direct" "$(tr -d '\r' <"$work/vivant")"
  fi
  kill -"$signal" "$p"
  { wait "$p"; } 2>/dev/null  # no "Killed" from the shell
  code=$?
  if attendre "the child to end" enfant_parti; then
    echo "ok   SIG$signal to the .com ends the child"
  else
    echo "FAIL SIG$signal to the .com left the child running"
    fails=$((fails + 1))
  fi
  # Wine keeps the low byte of STATUS_CONTROL_C_EXIT (0xC000013A).
  [ "$signal" = INT ] && check "Ctrl+C: the interrupted child's status" 58 "$code"
  exec 7>&-
done

objdump=$(sed -n 's/^CMAKE_OBJDUMP:FILEPATH=//p' "$2/CMakeCache.txt")
if sh "$top/tests/gui/win32/imports.sh" "${objdump:-x86_64-w64-mingw32-objdump}" "$com" console; then
  echo "ok   a console program that needs only Windows' DLLs"
else
  fails=$((fails + 1))
fi
# The resources, as windres reads them back: the .exe's icon, and its version
# but for the description and the file name.
ressources() { x86_64-w64-mingw32-windres -i "$1" -O rc 2>/dev/null; }
icone() { ressources "$1" | sed -n '/RT_ICON/,/VERSIONINFO/p' | md5sum; }
version() { ressources "$1" | sed -n '/VERSIONINFO/,/RT_MANIFEST/p' | grep -v -E 'FileDescription|OriginalFilename|RT_MANIFEST'; }
check "the .exe's icon" "$(icone "$exe")" "$(icone "$com")"
check "the .exe's version" "$(version "$exe")" "$(version "$com")"

[ "$fails" -eq 0 ] && echo "console: IL3_Setup.com passes everything through" || { echo "console: $fails failed"; exit 1; }
