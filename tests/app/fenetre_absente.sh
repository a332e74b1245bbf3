#!/usr/bin/env bash
# The window asked for where it cannot open: no window program, one whose Qt is
# missing, one that is not the window, files that are no program. Each time a
# French message that names what is missing and points to --silent, exit status
# 2, and the silent mode still works. Then a stand-in that starts as the window
# does: it gets il3-setup's command line, its status comes back, its standard
# error too, and a request to end reaches it.
set -u
prog="$1" relative="$2" sans_qt="$3" pas_la_fenetre="$4" factice="$5"
tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/bin" "$tree/prefix/drive_c/windows"
cp "$prog" "$tree/bin/il3-setup"
programme="$(cd "$tree/bin" && mkdir -p "$(dirname "$relative")" && cd "$(dirname "$relative")" && pwd)/$(basename "$relative")"
fails=0
ok() { echo "ok   $1"; }
fail() { echo "FAIL $1"; fails=$((fails + 1)); }

check() {  # description, then the words the message must hold
  local what="$1"; shift
  err=$(QT_QPA_PLATFORM=offscreen "$tree/bin/il3-setup" --root "$tree/prefix" 2>&1 >/dev/null); rc=$?
  local good=1
  [ "$rc" -eq 2 ] || good=0
  for word in "$@" "utilisez --silent"; do
    case "$err" in *"$word"*) ;; *) good=0;; esac
  done
  # The loader's own English stays behind the French message.
  case "$err" in *"error while loading"*) good=0;; esac
  if [ $good -eq 1 ]; then ok "$what"; else fail "$what: exit $rc, [$err]"; fi
}

rm -f "$programme"
check "no window program" "la fenêtre n'est pas installée" "le programme $programme" "introuvable"
cp "$sans_qt" "$programme"
check "its Qt missing" "libQt6Absente.so" "introuvable" "le programme $programme en a besoin" "Qt 6 n'est pas installé"
cp "$pas_la_fenetre" "$programme"
check "not the window" "inutilisable" "statut 3" "je ne suis pas la fenêtre"
rm -f "$programme"
printf 'pas un programme\n' > "$programme"
chmod 755 "$programme"
check "not even an executable" "inutilisable" "$programme" "Exec format error"
chmod 644 "$programme"
check "not executable" "inutilisable" "$programme" "Permission denied"

out=$("$tree/bin/il3-setup" --silent --root "$tree/prefix" folders 2>&1); rc=$?
[ "$rc" -eq 0 ] && ok "the silent mode works without the window" || fail "silent mode: $rc $out"

# The stand-in: what it was given, and how it ended.
rm -f "$programme"
cp "$factice" "$programme"
lancer() { QT_QPA_PLATFORM=offscreen "$tree/bin/il3-setup" --root "$tree/prefix" --app-dir 'C:\Radio\' "$@"; }
out=$(IL3_FACTICE_STATUT=7 lancer 2>"$tree/err"); rc=$?
err=$(cat "$tree/err")
[ "$rc" -eq 7 ] && ok "its exit status comes back" || fail "exit status: $rc, [$out] [$err]"
attendu="lanceur=$(readlink -f "$tree/bin/il3-setup")
argv[0]=$tree/bin/il3-setup
argv[1]=--root
argv[2]=$tree/prefix
argv[3]=--app-dir
argv[4]=C:\\Radio\\
lancement=retiré"
[ "$out" = "$attendu" ] && ok "it gets the same command line, and il3-setup's path" || fail "its arguments: [$out], expected [$attendu]"
[ "$err" = "écrit après le départ" ] && ok "its standard error reaches the terminal" || fail "its standard error: [$err]"
out=$(IL3_FACTICE_STATUT=0 lancer 2>&1 >/dev/null); rc=$?
[ "$rc" -eq 0 ] && ok "a window closed normally: status 0" || fail "status 0: $rc [$out]"

# What the loader writes before the program runs is kept back, then passed on
# (il3-setup carries its own C++ runtime: only the stand-in loads libstdc++).
err=$(LD_DEBUG=files lancer 2>&1 >/dev/null); rc=$?
case "$err" in
  *"file=libstdc++.so.6 [0];  needed by"*) ok "the loader's output before the start is passed on once it runs" ;;
  *) fail "the loader's output before the start: exit $rc, $(echo "$err" | grep -c .) lines" ;;
esac

# A request to end reaches the window, and il3-setup ends the same way.
rm -f "$tree/pid"
IL3_FACTICE_PID="$tree/pid" QT_QPA_PLATFORM=offscreen "$tree/bin/il3-setup" --root "$tree/prefix" >/dev/null 2>&1 &
parent=$!
for _ in $(seq 100); do [ -s "$tree/pid" ] && break; sleep 0.1; done
enfant=$(cat "$tree/pid" 2>/dev/null)
if [ -z "$enfant" ]; then
  fail "the stand-in never started"
  kill "$parent" 2>/dev/null
else
  groupe() { awk '{ sub(/^.*\) /, ""); print $3 }' "/proc/$1/stat"; }
  [ "$(groupe "$enfant")" = "$(groupe "$parent")" ] && ok "it runs in il3-setup's process group (Ctrl-C reaches both)" ||
    fail "process groups: $(groupe "$enfant") and $(groupe "$parent")"
  kill -TERM "$parent"
  wait "$parent"; rc=$?
  [ "$rc" -eq 143 ] && ok "SIGTERM to il3-setup ends the window, and il3-setup by the same signal" || fail "after SIGTERM: exit $rc"
  for _ in $(seq 50); do kill -0 "$enfant" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$enfant" 2>/dev/null && { fail "the stand-in outlived il3-setup"; kill -KILL "$enfant"; } || ok "the stand-in is gone"
fi

[ "$fails" -eq 0 ] && echo "fenetre_absente: all passed" || { echo "fenetre_absente: $fails failed"; exit 1; }
