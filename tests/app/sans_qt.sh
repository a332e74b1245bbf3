#!/usr/bin/env bash
# Headless runs never map Qt: the silent mode, profile access, --help and
# --version, each watched through the dynamic loader's own log. The window is
# the control: its program does load Qt, so the watch is known to see it; and
# il3-setup itself, which starts that program, maps no Qt even then.
set -u
prog="$1"
window="${2:-}"  # "window" when the program was built with its window
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
  QT_QPA_PLATFORM=offscreen IL3_QUITTER_APRES_AFFICHAGE=1 LD_DEBUG=libs LD_DEBUG_OUTPUT="$root/ld" \
    "$prog" --root "$root" >/dev/null 2>&1 &
  parent=$!
  wait "$parent"; rc=$?
  libs=$(cat "$root"/ld.* 2>/dev/null | sed -n 's/.*calling init: //p' | sort -u)
  own=$(sed -n 's/.*calling init: //p' "$root/ld.$parent" 2>/dev/null | sort -u)
  rm -f "$root"/ld.*
  if [ "$rc" -eq 0 ] && echo "$libs" | grep -q 'libQt6Widgets'; then
    echo "ok   the window loads Qt, and the watch sees it"
  else
    echo "FAIL the window (exit $rc) did not show Qt in the loader's log"; fails=$((fails + 1))
  fi
  if [ -z "$own" ]; then
    echo "FAIL il3-setup's own log is empty"; fails=$((fails + 1))
  elif echo "$own" | grep -qi 'qt'; then
    echo "FAIL il3-setup itself loads Qt to open the window"; fails=$((fails + 1))
  else
    echo "ok   il3-setup itself maps no Qt, the window's program does"
  fi
fi

[ "$fails" -eq 0 ] && echo "sans_qt: all passed" || { echo "sans_qt: $fails failed"; exit 1; }
