#!/usr/bin/env bash
# A site whose layout changes: --update renames, adds and removes stations and
# moves folders in the files, keeps what was tuned by hand, and its check
# predicts the real run; without it, the files stay and the run says so.
set -u
prog="$1"
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/drive_c"
fails=0
check() {  # description, expected, actual
  if [ "$2" = "$3" ]; then echo "ok   $1"; else echo "FAIL $1"; diff <(echo "$2") <(echo "$3") | head -8; fails=$((fails + 1)); fi
}
valider="$(dirname "$0")/../support/valider-json"
json() {  # every document must follow the shipped schema
  printf '%s' "$1" | "$valider" >/dev/null || { echo "hors du schéma"; return; }
  python3 -c 'import json,sys; d=json.loads(sys.argv[1]); print(eval(sys.argv[2]))' "$1" "$2" 2>&1
}
tree() { find "$root" -printf '%p %s %T@ %m\n' | sort | md5sum; }
run() { "$prog" --silent --root "$root" --app-dir 'C:\Kelvaro\Ilvane\' "$@"; }
cfg="$root/drive_c/Kelvaro/Ilvane/Config"
win='C:\Kelvaro\Ilvane\Config\'
get() { "$prog" --root "$root" ini get "$win$1" "$2" "$3" 2>&1; }
# The file's bytes without the lines of the given keys ("Section/Key") and sections ("Section/").
without() {  # file, names...
  python3 - "$@" <<'EOF'
import sys, hashlib
path, names = sys.argv[1], {n.lower() for n in sys.argv[2:]}
out, section = [], ""
for line in open(path, "rb").read().split(b"\r\n"):
    t = line.decode("cp1252").strip()
    if t.startswith("["):
        section = t[1:t.index("]")].lower()
    elif t and section + "/" + t.split("=")[0].strip().lower() in names:
        continue
    if not t or section + "/" not in names:
        out.append(line)
print(hashlib.md5(b"\r\n".join(out)).hexdigest())
EOF
}
# A check changes nothing, and the real run then reports what it said, key for key.
same_as_real() {  # description, arguments
  local what=$1 before checked real
  shift
  before=$(tree)
  checked=$(run --check --json "$@")
  check "$what: the check wrote nothing" "$before" "$(tree)"
  real=$(run --json "$@")
  check "$what: the real run did what the check said" "$(json "$checked" 'dict(d, check=None)')" "$(json "$real" 'dict(d, check=None)')"
}

run --radio 'Radio Sud' --station 1=Studio folders structural general >/dev/null
mkdir "$root/avant" && cp "$cfg"/*.ini "$root/avant/"

# Without --update the stored values stay; the run says how many and how to apply them.
out=$(run --radio 'Radio Sud FM' --station 1=Studio --station 2=Antenne --check general); rc=$?
check "without --update: exit 0" 0 "$rc"
check "without --update: the kept lines name what was proposed" \
  "kept: ${win}Kv_Sys.ini: [Div_Radio] Nom_Radio=Radio Sud (proposé: Radio Sud FM)
kept: ${win}Kv_Sys.ini: [Stations] NB_MAX=1 (proposé: 2)
kept: ${win}IL3_Systeme.ini: [Base_01] Lib=Radio Sud (proposé: Radio Sud FM)
kept: ${win}IL3_Systeme.ini: [Base_01] NbStation=1 (proposé: 2)" "$(grep '^kept: ' <<<"$out")"
check "without --update: the run ends with the warning" \
  "warning: 4 valeurs enregistrées diffèrent de ce qui est demandé et sont gardées: --update les applique (lignes kept:)" \
  "$(tail -n 1 <<<"$out")"
doc=$(run --radio 'Radio Sud FM' --check --json general)
check "without --update: the warning in JSON" "warning True" \
  "$(json "$doc" 'd["messages"][-1]["kind"] + " " + str("--update" in d["messages"][-1]["text"])')"

# The rename and the added station, --check first.
new=(--update --radio 'Radio Sud FM' --station 1=Studio --station 2=Antenne structural general)
expected="info: Paramétrage créé ou MAJ
info: Paramétrage créé ou MAJ
changed: C:\\Kelvaro\\Ilvane\\Settings\\IL3_Config.ini: 1 valeur modifiée
~ [Site] Lib: Radio Sud -> Radio Sud FM"
check "--check --diff --update: the site file first" "$expected" "$(run --check --diff "${new[@]}" | head -n 4)"
same_as_real "rename and added station" "${new[@]}"
for k in "Kv_Sys.ini|Div_Radio|Nom_Radio|Radio Sud FM" "IL3_Systeme.ini|Base_01|Lib|Radio Sud FM" \
         "Kv_Sys.ini|Stations|NB_MAX|2" "IL3_Systeme.ini|Base_01|NbStation|2" "Kv_Sys.ini|Div_Radio|Station_002|Antenne" \
         "IL3_Systeme.ini|Base_01_Station_02|Lib|Antenne" "Kv_Sys.ini|Repertoire_Station_002|000_00|O,C:\\IL_Sons\\Sons\\Musique\\"; do
  IFS='|' read -r f s key v <<<"$k"
  check "--update: [$s] $key" "$v" "$(get "$f" "$s" "$key")"
done
check "--update: nothing else changed in Kv_Sys.ini" \
  "$(without "$root/avant/Kv_Sys.ini" Div_Radio/Nom_Radio Stations/NB_MAX)" \
  "$(without "$cfg/Kv_Sys.ini" Div_Radio/Nom_Radio Stations/NB_MAX Div_Radio/Station_002 Repertoire_Station_002/ Repertoire_Station_UNC002/ UNC_Actif002/)"
check "--update: nothing else changed in IL3_Systeme.ini" \
  "$(without "$root/avant/IL3_Systeme.ini" Base_01/Lib Base_01/NbStation)" \
  "$(without "$cfg/IL3_Systeme.ini" Base_01/Lib Base_01/NbStation Base_01_Station_02/)"
for f in KV_Mus.ini KV_Pub.ini; do check "--update: $f unchanged" "$(md5sum < "$root/avant/$f")" "$(md5sum < "$cfg/$f")"; done
check "the same run again changes nothing, says nothing" "" "$(run "${new[@]}" | grep -v '^info: ')"

# A folder moved: every value built from it follows, but a hand-tuned one stays, and is listed.
"$prog" --root "$root" ini set "${win}Kv_Sys.ini" Repertoire_Station_001 JIN_00 'O,D:\Jingles\' >/dev/null
same_as_real "sounds folder moved" --update --folder '4=C:\Sons2\' general
for k in "Kv_Sys.ini|Repertoire_Station_001|000_00|O,C:\\Sons2\\Musique\\" "Kv_Sys.ini|Repertoire_Station_002|PUB_00|O,C:\\Sons2\\Autre\\" \
         "Kv_Sys.ini|Repertoire_Station_UNC001|JIN_00|C:\\Sons2\\Autre\\" "IL3_Systeme.ini|Dossiers_Sons_Mus|00|C:\\Sons2\\Musique\\" \
         "Kv_Sys.ini|Repertoire_Station_001|JIN_00|O,D:\\Jingles\\"; do
  IFS='|' read -r f s key v <<<"$k"
  check "sounds moved: [$s] $key" "$v" "$(get "$f" "$s" "$key")"
done
out=$(run --update general)
check "a tuned value is kept with its reason" \
  "kept: ${win}Kv_Sys.ini: [Repertoire_Station_001] JIN_00=O,D:\\Jingles\\ (proposé: O,C:\\Sons2\\Autre\\; réglée à la main: aucune disposition antérieure ne donne cette valeur)" \
  "$(grep '^kept: ' <<<"$out")"
doc=$(run --json --folder '4=C:\Sons3\' general)
check "without --update, a tuned value is told apart" "1 39" \
  "$(json "$doc" '" ".join(str(sum(k["tuned"] == t for k in d["kept"])) for t in (True, False))')"
check "the warning says how many an update would apply" \
  "40 valeurs enregistrées diffèrent de ce qui est demandé et sont gardées: --update en applique 39, celle réglée à la main reste (lignes kept:)" \
  "$(json "$doc" 'd["messages"][-1]["text"]')"

# A station removed: the counts go down, its sections stay and are listed, and it stays removed.
same_as_real "station removed" --update --station 2= general
doc=$(run --json --update --station 2= general)
check "removed: the counts" "1 1" "$(get Kv_Sys.ini Stations NB_MAX) $(get IL3_Systeme.ini Base_01 NbStation)"
check "removed: its sections stay" "Antenne O,C:\\Sons2\\Musique\\" \
  "$(get IL3_Systeme.ini Base_01_Station_02 Lib) $(get Kv_Sys.ini Repertoire_Station_002 000_00)"
check "removed: listed as no longer counted" \
  "Div_Radio/Station_002 Repertoire_Station_002/ Repertoire_Station_UNC002/ UNC_Actif002/ Base_01_Station_02/" \
  "$(json "$doc" '" ".join(u["section"] + "/" + (u["key"] or "") for u in d["uncounted"] if u["station"] == 2)')"
out=$(run --update general)
check "removed: the lines" "uncounted: ${win}Kv_Sys.ini: station 2: [Div_Radio] Station_002, [Repertoire_Station_002], [Repertoire_Station_UNC002], [UNC_Actif002] (gardées, plus comptées)
uncounted: ${win}IL3_Systeme.ini: station 2: [Base_01_Station_02] (gardées, plus comptées)" "$(grep '^uncounted: ' <<<"$out")"
check "removed: a later run does not count it again" "1 " "$(get Kv_Sys.ini Stations NB_MAX) $(run general | grep -c '^warning: ' | grep -v '^0$')"

# A name after an empty station box is not counted: the run says so and goes on.
out=$(run --station 1= --station 2=Studio --check general); rc=$?
check "a gap in the stations: warning, exit 0" "0 warning: La station 1 est vide: les stations 2 à 5 ne seront pas créées." \
  "$rc $(grep -m1 '^warning: ' <<<"$out")"

# The start texts, written as they are on a fresh site, with a warning each.
rm -rf "$root/drive_c" && mkdir -p "$root/drive_c"
out=$(run folders structural general)
check "start texts: warned before they are written" "3 Nom de votre Radio Nom de la Station 1" \
  "$(grep -c "est encore l'exemple" <<<"$out") $(get Kv_Sys.ini Div_Radio Nom_Radio) $(get Kv_Sys.ini Div_Radio Station_001)"
run --radio 'Radio Nord' --update general >/dev/null
out=$(run --update --radio 'Nom de votre Radio' --folder 2= general)
check "start texts and blank fields: an update does not put them over a name" "Radio Nord C:\\Journix\\" \
  "$(get Kv_Sys.ini Div_Radio Nom_Radio) $(get Kv_Sys.ini Repertoires REPLOG)"
check "and says why" "kept: ${win}Kv_Sys.ini: [Repertoires] REPLOG=C:\\Journix\\ (proposé: ; le champ est vide)" \
  "$(grep -m1 'REPLOG' <<<"$out")"

[ "$fails" -eq 0 ] && echo "mise_a_jour: all passed" || { echo "mise_a_jour: $fails failed"; exit 1; }
