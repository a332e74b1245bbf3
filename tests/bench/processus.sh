#!/usr/bin/env bash
# Whole-process figures of il3-setup, each against its reference, measured in
# the same interleaved rounds on the same machine:
#   --silent general, five stations, fresh prefix   against the floor: the four final
#   the same run again over the full files          files written once each, durably
#   --version, and ini get of one key of KV_Mus.ini against cat of KV_Mus.ini
#   the window, il3-setup's start to first drawing  against --version (offscreen)
#
#   processus.sh BUILD [ROUNDS]
# BUILD holds src/app/il3-setup (and src/lib/il3-setup/il3-setup-window, which it
# starts for the window) and tests/bench/{chrono_processus,plancher_c}.
# IL3_BENCH_AVANT=/path/to/an/older/il3-setup measures that program too, the
# same way, right after ours; IL3_BENCH_AVANT_FENETRE=1 when it, too, closes its
# window once drawn (IL3_QUITTER_APRES_AFFICHAGE).
set -euo pipefail
build="$(cd "$1" && pwd)"
tours="${2:-41}"
prog="$build/src/app/il3-setup"
chrono="$build/tests/bench/chrono_processus"
plancher="$build/tests/bench/plancher_c"
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

# One comparison: its groups interleaved round after round. Each line gives the
# median, the peak resident memory, and the ratio to the comparison's reference,
# its last group. The older program is compared in rounds of its own, so that
# no program pays for the caches another one emptied.
comparer() {  # ROUNDS, then chrono_processus groups
  local n="$1"; shift
  "$chrono" -n "$n" "$@" | tee -a "$work/medianes" | awk '
    BEGIN {
      l["general"] = "--silent general, five stations, fresh prefix"
      l["relance"] = "the same general run again, over the full files"
      l["plancher"] = "floor (C): the four final files written once each, durably"
      l["version"] = "--version"
      l["ini_get"] = "ini get of one key of KV_Mus.ini"
      l["cat"] = "cat KV_Mus.ini"
      l["fenetre"] = "the window: il3-setup start to first drawing (offscreen)"
    }
    { nom[NR] = $1; t[NR] = $2; mem[NR] = $4; rc[NR] = $5; pf[NR] = $6 }
    END {
      for (i = 1; i <= NR; i++) {
        base = nom[i]; sub(/_avant$/, "", base)
        quoi = l[base] (base != nom[i] ? ", older program" : "")
        ratio = i < NR ? sprintf("%5.2f x %s", t[i] / t[NR], nom[NR]) : ""
        printf "  %-72s %7.2f ms %6.1f MB %5d faults   %s%s\n", quoi, t[i] / 1000, mem[i] / 1024, pf[i], ratio, rc[i] ? "   (exit " rc[i] ")" : ""
      }
    }'
}

fenetre=""
[ -x "$build/src/lib/il3-setup/il3-setup-window" ] && fenetre=yes
for p in "$prog" ${avant:+"$avant"}; do
  suffixe=""
  [ "$p" = "$prog" ] || suffixe=_avant
  echo "${p}:"
  comparer "$tours" \
    -l "general$suffixe" -p "$frais" -- "$p" --silent --root "$work/w" "${stations[@]}" general ::: \
    -l "relance$suffixe" -- "$p" --silent --root "$work/plein" "${stations[@]}" general ::: \
    -l plancher -p "$frais" -- "$plancher" "$work/plein/$config" "$work/w/$config" "${fichiers[@]}"
  comparer "$((tours * 2))" \
    -l "version$suffixe" -- "$p" --version ::: \
    -l "ini_get$suffixe" -- "$p" --root "$work/plein" ini get "$kv_mus" Mus_Couleur Couleur_01 ::: \
    -l cat -- /bin/cat "$work/plein/$config/KV_Mus.ini"
  if [ -n "$fenetre" ] && { [ -z "$suffixe" ] || [ "${IL3_BENCH_AVANT_FENETRE:-}" = 1 ]; }; then
    QT_QPA_PLATFORM=offscreen IL3_QUITTER_APRES_AFFICHAGE=1 comparer "$tours" \
      -l "fenetre$suffixe" -- "$p" --root "$work/plein" ::: -l "version$suffixe" -- "$p" --version
  fi
done

# Instructions do not move with the disk: callgrind counts them, whole process,
# for the same runs (IL3_BENCH_INSTRUCTIONS=0 leaves them out).
if [ "${IL3_BENCH_INSTRUCTIONS:-1}" = 1 ] && command -v valgrind >/dev/null; then
  instructions() {  # label, command...
    local quoi=$1 n
    shift
    n=$(valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null | sed -n 's/.*Collected : //p')
    printf "  %-72s %12s instructions\n" "$quoi" "$n"
    printf '%s\t%s\n' "$quoi" "${n//,/}" >>"$work/instructions"
  }
  echo "instructions (callgrind, whole process):"
  for p in "$prog" ${avant:+"$avant"}; do
    suffixe=""
    [ "$p" = "$prog" ] || suffixe=", older program"
    rm -rf "$work/w" && cp -a "$work/modele" "$work/w"
    instructions "--silent general, five stations, fresh prefix$suffixe" "$p" --silent --root "$work/w" "${stations[@]}" general
    instructions "--version$suffixe" "$p" --version
    instructions "ini get of one key of KV_Mus.ini$suffixe" "$p" --root "$work/plein" ini get "$kv_mus" Mus_Couleur Couleur_01
  done
  rm -rf "$work/w" && cp -a "$work/modele" "$work/w"
  instructions "floor (C): the four final files written once each" "$plancher" "$work/plein/$config" "$work/w/$config" "${fichiers[@]}"
fi

# The targets, from the figures above (medians of this very run).
mediane() { awk -v g="$1" '$1 == g { print $2; exit }' "$work/medianes"; }
compte() { awk -F'\t' -v q="$1" '$1 == q { print $2; exit }' "$work/instructions" 2>/dev/null; }
cible() {  # what, measured, limit, unit
  awk -v quoi="$1" -v m="$2" -v lim="$3" -v u="$4" 'BEGIN {
    if (m == "") { printf "  %-60s not measured\n", quoi; exit }
    printf "  %-60s %10.2f %-14s (target <= %s)  %s\n", quoi, m, u, lim, m <= lim ? "met" : "NOT MET" }'
}
echo "targets:"
g=$(mediane general) f=$(mediane plancher)
cible "general run against the C floor" "$(awk -v g="$g" -v f="$f" 'BEGIN { if (g && f) print g / f }')" 1.5 "x floor"
n=$(compte "--silent general, five stations, fresh prefix")
cible "general run, instructions" "$(awk -v n="$n" 'BEGIN { if (n) print n / 1e6 }')" 3 "M instructions"
n=$(compte "--version")
cible "--version, instructions" "$(awk -v n="$n" 'BEGIN { if (n) print n / 1e6 }')" 0.3 "M instructions"
v=$(mediane version) i=$(mediane ini_get) c=$(mediane cat)
cible "--version against cat" "$(awk -v v="$v" -v c="$c" 'BEGIN { if (v && c) print v / c }')" 1.2 "x cat"
cible "ini get against cat" "$(awk -v v="$i" -v c="$c" 'BEGIN { if (v && c) print v / c }')" 1.2 "x cat"
