#!/usr/bin/env bash
# Writers at the same time: our own processes never lose each other's writes, and
# another program's change made during a run survives.
# Usage: concurrence.sh PROG ini|general|en-place|remplace (one case each, to keep each test short).
# IL3_ESSAIS sets the number of tries of the last two (300 by default).
prog="$1"
cas="$2"
. "$(dirname "$0")/commun.sh"
essais="${IL3_ESSAIS:-300}"

# Starts the given commands at the same moment: each waits for its line on a FIFO,
# and the lines are written once every command is ready.
ensemble() {  # command lines, one per argument
  local depart="$sandbox/depart" cmd
  rm -f "$depart"; mkfifo "$depart"; exec 3<>"$depart"
  for cmd in "$@"; do (read -r _ <&3; exec 3<&-; eval "$cmd" >/dev/null 2>&1; echo $? >>"$sandbox/statuts") & done
  printf '%*s' $# '' | tr ' ' '\n' >&3
  wait
  exec 3<&-
}

# 40 `ini set` of 40 different keys into one file, new then existing.
if [ "$cas" = ini ]; then
root="$sandbox/ini"; nouveau_site "$root"; f="$(config_de "$root")/Partage.ini"
perdus=0
for tour in 1 2 3; do
  [ $tour -eq 1 ] && rm -f "$f"
  cmds=()
  for i in $(seq 1 40); do cmds+=("\"$prog\" --root \"$root\" ini set \"$f\" Tour$tour Cle$i v$i"); done
  ensemble "${cmds[@]}"
  gardees=$(grep -ac "^Cle[0-9]*=v" <(sed -n "/^\[Tour$tour\]/,/^\[/p" "$f"))
  echo "     round $tour: $gardees of 40 keys kept"
  perdus=$((perdus + 40 - gardees))
done
check "40 concurrent ini set, three rounds: keys lost" 0 "$perdus"
check "every ini set exited 0" "" "$(grep -v '^0$' "$sandbox/statuts")"
check "no leftover" 0 "$(debris "$(config_de "$root")")"
fi

modele="$sandbox/modele"
# Two general runs on one site, stations 1-2 and 1-3: the files must be those of
# the two runs one after the other, in one order or the other.
if [ "$cas" = general ]; then
nouveau_site "$modele"
A="--station 1=Nord --station 2=Sud"; B="--station 1=Nord --station 2=Sud --station 3=Est"
empreintes() { (cd "$(config_de "$1")" && cksum $fichiers_generaux | cut -d' ' -f1 | tr '\n' ' '); }
reference() {  # first, second
  rm -rf "$sandbox/ref"; cp -a "$modele" "$sandbox/ref"
  "$prog" --silent --root "$sandbox/ref" $1 general >/dev/null
  "$prog" --silent --root "$sandbox/ref" $2 general >/dev/null
  empreintes "$sandbox/ref"
}
ab="$(reference "$A" "$B")"; ba="$(reference "$B" "$A")"
melanges=0; sans_troisieme=0; : >"$sandbox/statuts"
for i in $(seq 1 "$essais"); do
  rm -rf "$sandbox/deux"; cp -a "$modele" "$sandbox/deux"
  ensemble "\"$prog\" --silent --root \"$sandbox/deux\" $A general" "\"$prog\" --silent --root \"$sandbox/deux\" $B general"
  e="$(empreintes "$sandbox/deux")"
  [ "$e" = "$ab" ] || [ "$e" = "$ba" ] || melanges=$((melanges + 1))
  grep -aq '^Station_003=Est' "$(config_de "$sandbox/deux")/Kv_Sys.ini" || sans_troisieme=$((sans_troisieme + 1))
done
echo "     two general runs: third station lost in $sans_troisieme of $essais, files of neither order in $melanges"
check "two concurrent general runs: tries whose files are not those of one order" 0 "$melanges"
check "both runs exited 0 every time" "" "$(grep -v '^0$' "$sandbox/statuts")"
fi

# Another program adds a key to Kv_Sys.ini at a random moment of a run, writing
# in place or replacing the file. Its key must survive; our run's keys are
# reported (a writer that replaces the file from a stale copy loses them itself).
if [ "$cas" = en-place ] || [ "$cas" = remplace ]; then
site_incomplet "$modele" 9
en_place() { printf 'Externe=%s\r\n' "$2" >>"$1"; }
remplace() { { cat "$1"; printf 'Externe=%s\r\n' "$2"; } >"$1.autre" && mv "$1.autre" "$1"; }
rm -rf "$sandbox/ref"; cp -a "$modele" "$sandbox/ref"; "$prog" --silent --root "$sandbox/ref" general >/dev/null
complet="$(empreinte "$(config_de "$sandbox/ref")/Kv_Sys.ini")"
for facon in $cas; do
  perdus=0; nos_perdus=0
  for i in $(seq 1 "$essais"); do
    kv="$(config_de "$sandbox/autre")/Kv_Sys.ini"; rm -rf "$sandbox/autre"; cp -a "$modele" "$sandbox/autre"
    "$prog" --silent --root "$sandbox/autre" general >/dev/null 2>&1 &
    sleep "0.0$(printf %02d $((RANDOM % 25)))"
    ${facon//-/_} "$kv" "$i"
    wait
    grep -aq "^Externe=$i" "$kv" || perdus=$((perdus + 1))
    [ "$(grep -av '^Externe=' "$kv" | cksum | cut -d' ' -f1)" = "$complet" ] || nos_perdus=$((nos_perdus + 1))
  done
  echo "     another program ($facon): its key lost in $perdus of $essais, the run's keys lost in $nos_perdus"
  check "another program's key ($facon) survives" 0 "$perdus"
done
fi

fin "concurrence $cas"
