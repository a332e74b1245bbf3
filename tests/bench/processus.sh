#!/usr/bin/env bash
# Whole-process figures of il3-setup, each against what it is compared with,
# measured in the same rounds on the same machine:
#   --silent general, five stations, fresh prefix    against the floor (the four final files written once each, durably)
#   the same run again over the full files           against the same floor
#   --version                                        against cat of KV_Mus.ini
#   ini get of one key of KV_Mus.ini                 against cat of KV_Mus.ini
#   the window, process start to window drawn        (offscreen), against --version
#
#   processus.sh BUILD [ROUNDS]
# BUILD holds src/app/il3-setup and tests/bench/{chrono_processus,plancher_ecriture}.
# IL3_BENCH_AVANT=/path/to/an/older/il3-setup adds that program to every
# comparison, side by side; IL3_BENCH_AVANT_FENETRE=1 when it, too, closes its
# window once drawn (IL3_QUITTER_APRES_AFFICHAGE).
set -euo pipefail
build="$(cd "$1" && pwd)"
tours="${2:-41}"
prog="$build/src/app/il3-setup"
chrono="$build/tests/bench/chrono_processus"
plancher="$build/tests/bench/plancher_ecriture"
avant="${IL3_BENCH_AVANT:-}"
work="$build/bench-processus"
rm -rf "$work"
mkdir -p "$work/modele/drive_c/windows"
stations=(--station 1=Nord --station 2=Sud --station 3=Est --station 4=Ouest --station 5=Centre)
config=drive_c/Kelvaro/Ilvane/Config
fichiers=(Kv_Sys.ini IL3_Systeme.ini KV_Mus.ini KV_Pub.ini)
kv_mus="C:\\Kelvaro\\Ilvane\\Config\\KV_Mus.ini"

# A fresh prefix: the folders made, no settings file yet. The full one: after a general run.
"$prog" --silent --root "$work/modele" "${stations[@]}" folders >/dev/null
cp -a "$work/modele" "$work/plein"
"$prog" --silent --root "$work/plein" "${stations[@]}" general >/dev/null
# Before each first run: a fresh copy, and the disk quiet, so that no run pays for the copy.
frais="rm -rf '$work/w' && cp -a '$work/modele' '$work/w' && sync"

groupes=(-l general -p "$frais" -- "$prog" --silent --root "$work/w" "${stations[@]}" general)
[ -n "$avant" ] && groupes+=(::: -l general_avant -p "$frais" -- "$avant" --silent --root "$work/w" "${stations[@]}" general)
groupes+=(::: -l plancher -p "$frais" -- "$plancher" "$work/plein/$config" "$work/w/$config" "${fichiers[@]}")
groupes+=(::: -l relance -- "$prog" --silent --root "$work/plein" "${stations[@]}" general)
[ -n "$avant" ] && groupes+=(::: -l relance_avant -- "$avant" --silent --root "$work/plein" "${stations[@]}" general)
"$chrono" -n "$tours" "${groupes[@]}" >"$work/ecriture.txt"

groupes=(-l version -- "$prog" --version)
groupes+=(::: -l ini_get -- "$prog" --root "$work/plein" ini get "$kv_mus" Mus_Couleur Couleur_01)
groupes+=(::: -l cat -- /bin/cat "$work/plein/$config/KV_Mus.ini")
if [ -n "$avant" ]; then
  groupes+=(::: -l version_avant -- "$avant" --version)
  groupes+=(::: -l ini_get_avant -- "$avant" --root "$work/plein" ini get "$kv_mus" Mus_Couleur Couleur_01)
fi
if [ -e "$build/src/lib/il3-setup/il3-setup-window.so" ]; then
  groupes+=(::: -l fenetre -- "$prog" --root "$work/plein")
  [ -n "$avant" ] && [ "${IL3_BENCH_AVANT_FENETRE:-}" = 1 ] && groupes+=(::: -l fenetre_avant -- "$avant" --root "$work/plein")
fi
QT_QPA_PLATFORM=offscreen IL3_QUITTER_APRES_AFFICHAGE=1 "$chrono" -n "$((tours * 2))" "${groupes[@]}" >"$work/lancement.txt"

cat "$work/ecriture.txt" "$work/lancement.txt" | awk '
  { t[$1] = $2; mem[$1] = $4; rc[$1] = $5 }
  function ms(us) { return sprintf("%.2f ms", us / 1000) }
  function ligne(nom, quoi, ref) {
    if (!(nom in t)) return
    r = (ref in t) ? sprintf("%.2f x %s", t[nom] / t[ref], ref) : ""
    printf "%-14s %-52s %10s %8.1f MB   %s%s\n", nom, quoi, ms(t[nom]), mem[nom] / 1024, r, rc[nom] ? "   (exit " rc[nom] ")" : ""
  }
  END {
    printf "%-14s %-52s %10s %11s   %s\n", "", "whole process, median", "time", "resident", "ratio"
    ligne("general", "--silent general, five stations, fresh prefix", "plancher")
    ligne("general_avant", "  the same, older program", "plancher")
    ligne("plancher", "floor: the four final files written once, durably", "")
    ligne("relance", "the same general run again, over the full files", "plancher")
    ligne("relance_avant", "  the same, older program", "plancher")
    ligne("version", "--version", "cat")
    ligne("version_avant", "  the same, older program", "cat")
    ligne("ini_get", "ini get of one key of KV_Mus.ini", "cat")
    ligne("ini_get_avant", "  the same, older program", "cat")
    ligne("cat", "cat KV_Mus.ini", "")
    ligne("fenetre", "the window, start to first drawing (offscreen)", "version")
    ligne("fenetre_avant", "  the same, older program", "version")
  }'
