#!/usr/bin/env bash
# The report of the silent mode as configuration management reads it: changed:
# and kept: lines, --check, --diff, --backup, --json, and the ini commands.
set -u
prog="$1"
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/drive_c/windows"
fails=0
check() {  # description, expected, actual
  if [ "$2" = "$3" ]; then echo "ok   $1"; else echo "FAIL $1: expected [$2], got [$3]"; fails=$((fails + 1)); fi
}
valider="$(dirname "$0")/../support/valider-json"
json() {  # document, python expression on d; the document must follow the shipped schema
  printf '%s' "$1" | "$valider" >/dev/null || { echo "hors du schéma"; return; }
  python3 -c 'import json,sys; d=json.loads(sys.argv[1]); r=eval(sys.argv[2])
print(" ".join(map(str, r)) if isinstance(r, tuple) else r)' "$1" "$2" 2>&1
}
tree() { find "$root" -printf '%p %s %T@ %m\n' | sort | md5sum; }
run() { "$prog" --silent --root "$root" --app-dir 'C:\Kelvaro\Ilvane\' "$@"; }
cfg="$root/drive_c/Kelvaro/Ilvane/Config"
site="$root/drive_c/Kelvaro/Ilvane/Settings/IL3_Config.ini"

# A check changes nothing and tells what the real run then does, word for word.
same_as_real() {  # description, arguments
  local what=$1
  shift
  local before checked real
  before=$(tree)
  checked=$(run --check --json "$@")
  check "$what: the check wrote nothing" "$before" "$(tree)"
  real=$(run --json "$@")
  check "$what: the real run did what the check said" "$(json "$checked" 'dict(d, check=None)')" \
    "$(json "$real" 'dict(d, check=None)')"
}
all=(--radio 'Radio Été' --station 1=Nord --station 2=Sud folders structural general)
same_as_real "fresh site" "${all[@]}"
same_as_real "full site" "${all[@]}"
check "full site: nothing changed" "False []" "$(json "$(run --json "${all[@]}")" 'd["changed"], d["files"]')"
check "full site: no changed: line" "" "$(run "${all[@]}" | grep '^changed: ')"
sed -i -e '/^REPVOIX=/d' "$cfg/Kv_Sys.ini"
sed -i -e 's/^GUID=.*\r$/GUID=ancien\r/' "$site"
sed -i -e '/^\[Ptx\]/,$d' "$cfg/IL3_Systeme.ini"
same_as_real "deleted keys and an edited value" "${all[@]}"
# The writer clears a read-only flag, creates a missing folder: the check counts on both.
sed -i -e '/^Debut_Tranche_05=/d' "$cfg/KV_Pub.ini"
chmod a-w "$cfg/KV_Pub.ini"
rm -rf "$(dirname "$site")"
same_as_real "a read-only file and a deleted folder" "${all[@]}"

# --diff lists each key under its file; the messages come first.
sed -i -e '/^REPVOIX=/d' "$cfg/Kv_Sys.ini"
sed -i -e 's/^GUID=.*\r$/GUID=ancien\r/' "$site"
expected='info: Paramétrage créé ou MAJ
info: Paramétrage créé ou MAJ
changed: C:\Kelvaro\Ilvane\Settings\IL3_Config.ini: 1 valeur modifiée
~ [Site] GUID: ancien -> G-1
changed: C:\Kelvaro\Ilvane\Config\Kv_Sys.ini: 3 clés ajoutées
+ [Repertoires] REPVOIX=C:\Kelvaro\Ilvane\Voix\
+ [UNC_Actif] REPVOIX=ON
+ [Repertoires_UNC] REPVOIX=C:\Kelvaro\Ilvane\Voix\'
check "--check --diff" "$expected" "$(run --check --diff --guid G-1 structural general)"
check "--check left the key missing" 0 "$(grep -c '^REPVOIX=' "$cfg/Kv_Sys.ini")"

# --backup: a copy of each changed file as it was, beside it; none for the others.
stamp() { date -d "@$(($(date +%s) + $1))" +%Y%m%d-%H%M%S; }
for s in 0 1 2; do echo taken > "$cfg/Kv_Sys.ini.$(stamp "$s").bak"; done
old=$(md5sum < "$cfg/Kv_Sys.ini")
out=$(run --backup --guid G-1 structural general)
backup=$(sed -n 's/^changed: .*Kv_Sys.ini: 3 clés ajoutées, sauvegarde //p' <<<"$out")
case "$backup" in
  'C:\Kelvaro\Ilvane\Config\Kv_Sys.ini.'????????-??????-2.bak) echo "ok   a second backup in the same second gets a suffix";;
  *) echo "FAIL backup name: [$backup] in [$out]"; fails=$((fails + 1));;
esac
check "the backup holds the file as it was" "$old" "$(md5sum < "$cfg/${backup##*\\}")"
check "the earlier backups are untouched" 3 "$(grep -l '^taken$' "$cfg"/Kv_Sys.ini.*.bak | wc -l)"
check "no backup of an unchanged file" 0 "$(ls "$cfg" | grep -c '^KV_Pub.ini.*bak$')"
check "the site file's backup" 1 "$(ls "$(dirname "$site")" | grep -c '^IL3_Config.ini\..*\.bak$')"

# kept: the stored values that won over the window's.
out=$(run --radio 'Radio Autre' general)
check "kept lines" "kept: C:\\Kelvaro\\Ilvane\\Config\\Kv_Sys.ini: [Div_Radio] Nom_Radio=Radio Été (proposé: Radio Autre)
kept: C:\\Kelvaro\\Ilvane\\Config\\IL3_Systeme.ini: [Base_01] Lib=Radio Été (proposé: Radio Autre)" \
  "$(grep '^kept: ' <<<"$out")"
doc=$(run --json --radio 'Radio Autre' general)
check "kept in JSON" "False 2 Radio Été Radio Autre" "$(json "$doc" 'd["changed"], len(d["kept"]), d["kept"][0]["stored"], d["kept"][0]["offered"]')"

# JSON: one document on stdout, failed exactly when the exit status is 1.
doc=$(run --json --folder '1=C:\Absent\' general); rc=$?
check "JSON of a failed run" "1 True False error" "$rc $(json "$doc" 'd["failed"], d["changed"], d["messages"][-1]["kind"]')"
out=$(run --json --station 9=X general 2>/dev/null); rc=$?
check "usage error: exit 2, nothing on stdout" "2 " "$rc $out"
"$prog" --check general >/dev/null 2>&1; rc=$?
check "--check without --silent" 2 "$rc"

# ini for scripts: strict get, set and del with changed: lines.
kv='C:\Kelvaro\Ilvane\Config\Kv_Sys.ini'
ini() { "$prog" --root "$root" ini "$@"; }
for args in "C:\\Absent.ini|S|K|fichier introuvable" "$kv|Absente|K|section [Absente] absente" "$kv|Users|Absente|clé Absente absente"; do
  IFS='|' read -r f s k why <<<"$args"
  err=$(ini get "$f" "$s" "$k" 2>&1 >/dev/null); rc=$?
  case "$rc $err" in "1 "*"$why"*) echo "ok   ini get: $why";; *) echo "FAIL ini get $s $k: $rc $err"; fails=$((fails + 1));; esac
done
check "ini get with a default keeps the suite's semantics" "d 0" "$(ini get 'C:\Absent.ini' S K d) $?"
check "ini set: added" "changed: $kv: 1 clé ajoutée" "$(ini set "$kv" Essai K 1)"
check "ini set: same value, no line" "" "$(ini set "$kv" Essai K 1)"
check "ini set: changed" "changed: $kv: 1 valeur modifiée" "$(ini set "$kv" Essai K 2)"
check "ini del: a key" "changed: $kv: 1 clé supprimée" "$(ini del "$kv" Essai K)"
check "ini del: no such key" "0 " "$(ini del "$kv" Essai K; echo "$? ")" 
check "ini del: the section header stays" 1 "$(grep -c '^\[Essai\]' "$cfg/Kv_Sys.ini")"
check "ini del: a section" "changed: $kv: 1 section supprimée" "$(ini del "$kv" Essai)"
check "ini del: the section is gone" 0 "$(grep -c '^\[Essai\]' "$cfg/Kv_Sys.ini")"
ini del 'C:\Kelvaro\Nouveau.ini' S K >/dev/null; rc=$?
check "ini del on a missing file creates nothing" "0 no" "$rc $([ -e "$root/drive_c/Kelvaro/Nouveau.ini" ] && echo yes || echo no)"
"$prog" '/?' | grep -q -- '--check' || { echo "FAIL /? does not show the help"; fails=$((fails + 1)); }

[ "$fails" -eq 0 ] && echo "rapport: all passed" || { echo "rapport: $fails failed"; exit 1; }
