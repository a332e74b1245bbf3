#!/usr/bin/env bash
# Installs what is missing, builds il3-setup and runs it. With a display it opens
# the window; without one (or with --demo) it prepares a demonstration site in
# build/demo without a window and shows what it wrote.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
scripts/install-deps.sh
scripts/build.sh --app-only >/dev/null
prog="$top/build/native/src/app/il3-setup"

if [ "${1:-}" != "--demo" ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  "$prog" "$@" && exit 0
  [ $? -ne 2 ] && exit 1
fi
[ "${1:-}" = "--demo" ] || echo "No display, or no window in this build: running the demonstration without a window."

demo="$top/build/demo"
rm -rf "$demo"
mkdir -p "$demo/drive_c/windows"
echo
echo "Prefix: $demo  (C: is $demo/drive_c)"
echo
echo "\$ il3-setup --silent --root $demo --radio 'Radio Démo' --station 1='Antenne Nord' --station 2='Antenne Sud' --guid 1234-ABCD folders structural general"
"$prog" --silent --root "$demo" --radio "Radio Démo" --station 1="Antenne Nord" --station 2="Antenne Sud" \
  --guid 1234-ABCD folders structural general
echo
echo "Files written:"
(cd "$demo/drive_c" && find . -type f -name '*.ini' | sort | while read -r f; do
  printf '  C:%s  (%s keys, %s sections)\n' "$(echo "${f#.}" | tr / '\\\\')" \
    "$(grep -c '=' "$f")" "$(grep -c '^\[' "$f")"
done)
echo
echo "A second run loads what the first stored, and leaves every file as it is:"
before=$(cd "$demo" && find . -type f -name '*.ini' -exec md5sum {} + | sort)
"$prog" --silent --root "$demo" general
after=$(cd "$demo" && find . -type f -name '*.ini' -exec md5sum {} + | sort)
[ "$before" = "$after" ] && echo "  unchanged: yes" || echo "  unchanged: NO"
echo
echo "One key, read with the suite's own semantics:"
echo "\$ il3-setup --root $demo ini get 'C:\\Kelvaro\\Ilvane\\Config\\Kv_Sys.ini' Div_Radio Station_002"
"$prog" --root "$demo" ini get 'C:\Kelvaro\Ilvane\Config\Kv_Sys.ini' Div_Radio Station_002
