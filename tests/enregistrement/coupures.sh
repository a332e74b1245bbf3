#!/usr/bin/env bash
# A run killed at any moment leaves every settings file whole: the old content or
# the new one, byte for byte; and the next run leaves no temporary file behind.
# IL3_COUPURES sets the number of kills (200 by default).
prog="$1"
. "$(dirname "$0")/commun.sh"
coupures="${IL3_COUPURES:-200}"

root="$sandbox/site"; site_incomplet "$root" 7
cfg="$(config_de "$root")"
mkdir "$sandbox/ancien"; cp -a "$cfg"/*.ini "$sandbox/ancien/"
cp -a "$root" "$sandbox/ref"
debut=$(date +%s%N); "$prog" --silent --root "$sandbox/ref" general >/dev/null; fin_ns=$(date +%s%N)
# Kills spread over a whole run, however fast the machine is today.
duree_us=$(( (fin_ns - debut) / 1000 + 1000 ))
declare -A ancien nouveau
for f in $fichiers_generaux; do
  ancien[$f]="$(empreinte "$sandbox/ancien/$f")"; nouveau[$f]="$(empreinte "$(config_de "$sandbox/ref")/$f")"
  [ "${ancien[$f]}" != "${nouveau[$f]}" ] || { echo "FAIL $f: the run would not change it"; fails=$((fails + 1)); }
done

dechires=0; vieux=0; neufs=0; avec_debris=0; finies=0
for i in $(seq 1 "$coupures"); do
  for f in $fichiers_generaux; do cat "$sandbox/ancien/$f" >"$cfg/$f"; done
  avant=$(debris "$cfg")
  "$prog" --silent --root "$root" general >/dev/null 2>&1 &
  pid=$!
  sleep "$(printf '0.%06d' $(( (RANDOM * 32768 + RANDOM) % duree_us )))"
  kill -KILL $pid 2>/dev/null || finies=$((finies + 1))
  wait $pid 2>/dev/null
  for f in $fichiers_generaux; do
    e="$(empreinte "$cfg/$f")"
    if [ "$e" = "${ancien[$f]}" ]; then vieux=$((vieux + 1))
    elif [ "$e" = "${nouveau[$f]}" ]; then neufs=$((neufs + 1))
    else dechires=$((dechires + 1)); echo "FAIL kill $i: $f is neither the old nor the new file"; fi
  done
  [ "$(debris "$cfg")" -le "$avant" ] || avec_debris=$((avec_debris + 1))
done
"$prog" --silent --root "$root" general >/dev/null; rc=$?
restants=$(debris "$cfg")
echo "     $coupures kills over $((duree_us / 1000)) ms ($finies after the run had ended): files old $vieux, new $neufs, torn $dechires;" \
     "$avec_debris kills left a new temporary file, $restants temporary files after the final run"
check "no torn file" 0 "$dechires"
check "the final run succeeds" 0 "$rc"
check "no temporary file after the final run" 0 "$restants"
for f in $fichiers_generaux; do check "$f is the new file at the end" "${nouveau[$f]}" "$(empreinte "$cfg/$f")"; done

fin coupures
