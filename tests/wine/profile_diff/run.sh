#!/bin/sh
# Differential test: the same profile calls through Wine's profile functions
# and through our engine. Usage: run.sh NATIVE_BUILD_DIR WIN_BUILD_DIR [SEED] [COUNT]
# Exits non-zero on any difference. Wine runs once, over every case, in a
# private prefix under ${TMPDIR:-/tmp} (made on first use).
set -eu
if [ $# -lt 2 ]; then
  echo "usage: $0 NATIVE_BUILD_DIR WIN_BUILD_DIR [SEED] [COUNT]" >&2
  exit 2
fi
native=$(find "$1" -type f -name profile_diff -perm -u+x | head -n 1)
driver=$(find "$2" -type f -name profile_driver.exe | head -n 1)
if [ -z "$native" ] || [ -z "$driver" ]; then
  echo "run.sh: profile_diff or profile_driver.exe not built" >&2
  exit 2
fi
export WINEPREFIX="${IL3_PROFILE_DIFF_PREFIX:-${TMPDIR:-/tmp}/il3-profile-diff-wine}"
export WINEDEBUG=-all
# C.UTF-8 (always installed) gives Wine the Windows-1252 ANSI code page that our files use.
export LC_ALL=C.UTF-8
[ -d "$WINEPREFIX" ] || wineboot -i >/dev/null 2>&1

work=$(mktemp -d "${TMPDIR:-/tmp}/il3-profile-diff.XXXXXX")
trap 'rm -rf "$work"' EXIT
# Z: is this run's scratch folder, not the host's /.
"$(dirname "$0")/../../../scripts/wine-seal" "$WINEPREFIX" "$work"
cp "$driver" "$work/profile_driver.exe"
"$native" generate "$work/cases.txt" ${3:-} ${4:-}
(cd "$work" && wine profile_driver.exe cases.txt wine.txt)
"$native" compare "$work/cases.txt" "$work/wine.txt"
