#!/usr/bin/env bash
# The window asked for where it cannot open: no module, a module whose Qt is
# missing, a module that is not one. Each time a French message that names what
# is missing and points to --silent, exit status 2, and the silent mode still works.
set -u
prog="$1" relative="$2" sans_qt="$3" pas_un_module="$4"
tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/bin" "$tree/prefix/drive_c/windows"
cp "$prog" "$tree/bin/il3-setup"
module="$(cd "$tree/bin" && mkdir -p "$(dirname "$relative")" && cd "$(dirname "$relative")" && pwd)/$(basename "$relative")"
fails=0

check() {  # description, then the words the message must hold
  local what="$1"; shift
  err=$(QT_QPA_PLATFORM=offscreen "$tree/bin/il3-setup" --root "$tree/prefix" 2>&1 >/dev/null); rc=$?
  local ok=1
  [ "$rc" -eq 2 ] || ok=0
  for word in "$@" "utilisez --silent"; do
    case "$err" in *"$word"*) ;; *) ok=0;; esac
  done
  if [ $ok -eq 1 ]; then echo "ok   $what"; else echo "FAIL $what: exit $rc, [$err]"; fails=$((fails + 1)); fi
}

rm -f "$module"
check "no module" "la fenêtre n'est pas installée" "$module" "introuvable"
cp "$sans_qt" "$module"
check "its Qt missing" "libQt6Absente.so" "introuvable" "Qt 6 n'est pas installé"
cp "$pas_un_module" "$module"
check "not a window module" "inutilisable" "il3_lancer_fenetre"
printf 'pas un module' > "$module"
check "not even a library" "inutilisable" "$module"

out=$("$tree/bin/il3-setup" --silent --root "$tree/prefix" folders 2>&1); rc=$?
[ "$rc" -eq 0 ] && echo "ok   the silent mode works without the window" || { echo "FAIL silent mode: $rc $out"; fails=$((fails + 1)); }

[ "$fails" -eq 0 ] && echo "fenetre_absente: all passed" || { echo "fenetre_absente: $fails failed"; exit 1; }
