#!/bin/sh
# The Windows version class under each Windows version Wine can pretend to be,
# in a Wine prefix of its own that is removed afterwards.
#
#   run.sh WIN_BUILD_DIR
#
# WIN_BUILD_DIR is the Windows build folder, or the folder of this test in it.
set -u

here=$(cd "$(dirname "$0")" && pwd)
wine_run=$here/../../../scripts/wine-run

if [ $# -ne 1 ]; then
  echo "usage: run.sh WIN_BUILD_DIR" >&2
  exit 2
fi
programs=
for dir in "$1" "$1/tests/wine/version"; do
  if [ -f "$dir/version_class_upto_win8.exe" ] && [ -f "$dir/version_class_win10.exe" ]; then
    programs=$(cd "$dir" && pwd)
    break
  fi
done
if [ -z "$programs" ]; then
  echo "run.sh: version_class_*.exe not found under $1" >&2
  exit 2
fi

sandbox=$(mktemp -d "${TMPDIR:-/tmp}/il3-version-XXXXXX") || exit 2
IL3_WINEPREFIX=$sandbox/prefix
export IL3_WINEPREFIX
cleanup() {
  WINEPREFIX=$IL3_WINEPREFIX wineserver -k >/dev/null 2>&1
  rm -rf "$sandbox"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

failures=0

# The prefix made before the first check: a program started while Wine still
# sets a new prefix up can end without a word.
"$wine_run" cmd /c exit 0 >/dev/null 2>&1 || true

# check WINE_VERSION PROGRAM EXPECTED_CLASS
check() {
  if ! "$wine_run" reg add 'HKCU\Software\Wine' /v Version /d "$1" /f >/dev/null 2>&1; then
    echo "FAIL $1: cannot set the Windows version"
    failures=$((failures + 1))
    return
  fi
  got=$("$wine_run" "$programs/version_class_$2.exe" 2>/dev/null | tr -d '\r')
  # Nothing at all is Wine's start-up failing, not an answer: asked once more.
  [ -n "$got" ] || got=$("$wine_run" "$programs/version_class_$2.exe" 2>/dev/null | tr -d '\r')
  if [ "$got" = "$3" ]; then
    echo "ok   $1, manifest $2: $got"
  else
    echo "FAIL $1, manifest $2: got '$got', want '$3'"
    failures=$((failures + 1))
  fi
}

check winxp upto_win8 5
check win2k upto_win8 2000
check win2003 upto_win8 2003
check vista upto_win8 6
check win7 upto_win8 7
check win8 upto_win8 8
# Windows 8.1 and 10 report 6.2 to a program that does not declare them.
check win81 upto_win8 8
check win10 upto_win8 8
# Declaring Windows 10 reveals 10.0, which no class names.
check win10 win10 0
check win7 win10 7

if [ "$failures" -ne 0 ]; then
  echo "$failures version check(s) failed"
  exit 1
fi
echo "all version checks passed"
