#!/usr/bin/env bash
# Headless runs never map Qt: the silent mode, profile access, --help and
# --version, each watched through the dynamic loader's own log. The window is
# the control: it does load Qt, so the watch is known to see it.
set -u
prog="$1"
window="${2:-}"  # "window" when the program was built with its window module
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/drive_c/windows"
fails=0
kv='C:\Kelvaro\Ilvane\Config\Kv_Sys.ini'

# The libraries a run loaded, one a line.
libraries() {
  LD_DEBUG=libs LD_DEBUG_OUTPUT="$root/ld" "$@" >/dev/null 2>&1
  local rc=$?
  cat "$root"/ld.* 2>/dev/null | sed -n 's/.*calling init: //p' | sort -u
  rm -f "$root"/ld.*
  return $rc
}

while IFS='|' read -r what args; do
  [ -n "$what" ] || continue
  eval "set -- $args"
  libs=$(libraries "$prog" "$@"); rc=$?
  if [ "$rc" -ne 0 ]; then
    echo "FAIL $what: exit $rc"; fails=$((fails + 1))
  elif [ -z "$libs" ]; then
    echo "FAIL $what: the loader's log is empty"; fails=$((fails + 1))
  elif echo "$libs" | grep -qi 'qt'; then
    echo "FAIL $what loads Qt:"; echo "$libs" | grep -i qt; fails=$((fails + 1))
  else
    echo "ok   $what: $(echo "$libs" | wc -l) libraries, none of Qt"
  fi
done <<LIST
silent folders and general|--silent --root "$root" --station 1=A --station 2=B --station 3=C --station 4=D --station 5=E folders structural general
silent re-run|--silent --root "$root" general
ini get|--root "$root" ini get '$kv' Div_Radio Station_001
ini set|--root "$root" ini set '$kv' Users USER Zoé
help|--help
version|--version
LIST

if [ "$window" = window ]; then
  libs=$(QT_QPA_PLATFORM=offscreen IL3_QUITTER_APRES_AFFICHAGE=1 libraries "$prog" --root "$root"); rc=$?
  if [ "$rc" -eq 0 ] && echo "$libs" | grep -q 'libQt6Widgets'; then
    echo "ok   the window loads Qt, and the watch sees it"
  else
    echo "FAIL the window (exit $rc) did not show Qt in the loader's log"; fails=$((fails + 1))
  fi
fi

[ "$fails" -eq 0 ] && echo "sans_qt: all passed" || { echo "sans_qt: $fails failed"; exit 1; }
