#!/usr/bin/env bash
# What integrators build on: ini list and merge with the report's options, the
# status that says "would change", undo from the backups, keeping only the
# newest backups, a log file, /SILENT, and help that survives a paste into bash.
set -u
prog="$1"
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/drive_c"
fails=0
check() {  # description, expected, actual
  if [ "$2" = "$3" ]; then echo "ok   $1"; else echo "FAIL $1"; diff <(echo "$2") <(echo "$3") | head -8; fails=$((fails + 1)); fi
}
run() { "$prog" --silent --root "$root" --app-dir 'C:\Kelvaro\Ilvane\' "$@"; }
ini() { "$prog" --root "$root" ini "$@"; }
cfg="$root/drive_c/Kelvaro/Ilvane/Config"
pub='C:\Kelvaro\Ilvane\Config\KV_Pub.ini'
empreintes() { md5sum "$cfg"/*.ini "$root/drive_c/Kelvaro/Ilvane/Settings/IL3_Config.ini" | sed "s#$root##"; }
run --radio 'Radio Sud' --station 1=Studio folders structural general >/dev/null

# ini list: as Windows enumerates, duplicates and all, comments and key-less lines left out.
printf '[A]\r\nx=1\r\n; note\r\nsans egal\r\nx=2\r\n=vide\r\n[ B ]\r\n[a]\r\ny=3\r\n' > "$cfg/liste.ini"
check "ini list: the sections" "$(printf 'A\nB\na')" "$(ini list "$cfg/liste.ini")"
check "ini list: the keys of the first section of that name" "$(printf 'x\nx\n')" "$(ini list "$cfg/liste.ini" a)"
valider="$(dirname "$0")/../support/valider-json"
check "ini list --json" "['x', 'x', '']" "$(ini list --json "$cfg/liste.ini" A | "$valider" | python3 -c 'import json,sys; print(json.load(sys.stdin)["names"])')"

ini list "$cfg/liste.ini" Absente 2>/dev/null; check "ini list: a missing section is an error" 1 "$?"

# ini merge: check, diff, the real run, and a second run that changes nothing.
printf '\xef\xbb\xbf[Pub_Voix]\r\nVoix_01=Annonce été\r\nVoix_31=Nouvelle\r\n[Essai]\r\nCle = "1"\r\n' > "$root/fragment.ini"
avant=$(md5sum < "$cfg/KV_Pub.ini")
out=$(ini merge --check --diff "$pub" "$root/fragment.ini"); rc=$?
check "merge --check --diff" "0 changed: $pub: 2 clés ajoutées, 1 valeur modifiée
+ [Pub_Voix] Voix_31=Nouvelle
+ [Essai] Cle=1
~ [Pub_Voix] Voix_01: Voix 01 -> Annonce été" "$rc $out"
check "merge --check wrote nothing" "$avant" "$(md5sum < "$cfg/KV_Pub.ini")"
ini merge --check --detailed-exitcode "$pub" "$root/fragment.ini" >/dev/null; check "--detailed-exitcode: 3 when it would change" 3 "$?"
ini merge --missing-only "$pub" "$root/fragment.ini" >/dev/null
check "--missing-only keeps what is there" "Voix 01" "$(ini get "$pub" Pub_Voix Voix_01)"
ini merge "$pub" "$root/fragment.ini" >/dev/null
check "merge: UTF-8 with its mark, in the code page" "Annonce été" "$(ini get "$pub" Pub_Voix Voix_01)"
check "merge again: nothing to say" "" "$(ini merge "$pub" "$root/fragment.ini")"
ini merge --check --detailed-exitcode "$pub" "$root/fragment.ini" >/dev/null; check "--detailed-exitcode: 0 when nothing would" 0 "$?"
run --check --detailed-exitcode general >/dev/null; check "the silent mode too: 0" 0 "$?"
run --check --detailed-exitcode --radio X structural >/dev/null; check "the silent mode too: 3" 3 "$?"

# Undo: a backed-up run put back byte for byte; refused once a file changed since, unless --force.
sites=$(empreintes)
run --backup --radio 'Radio Nord' --station 2=Antenne structural general >/dev/null
check "the run changed the files" yes "$([ "$(empreintes)" != "$sites" ] && echo yes)"
out=$(run restore); rc=$?
check "restore: exit 0" 0 "$rc"
check "restore: the files as they were, byte for byte" "$sites" "$(empreintes)"
case "$out" in *"remis depuis"*) echo "ok   restore: the changed: lines name the backups";; *) echo "FAIL restore lines: $out"; fails=$((fails + 1));; esac
run --backup --radio 'Radio Nord' structural >/dev/null
ini set 'C:\Kelvaro\Ilvane\Settings\IL3_Config.ini' Site Actif 0 >/dev/null
run restore >/dev/null 2>&1; check "restore refuses a file changed since its run" 1 "$?"
run --force restore >/dev/null; check "--force puts it back anyway" "Radio Sud" "$(ini get 'C:\Kelvaro\Ilvane\Settings\IL3_Config.ini' Site Lib)"

# --backup-keep: the newest N of each file stay.
for n in 1 2 3; do run --backup --guid "G-$n" structural >/dev/null; sleep 1; done
run --backup --backup-keep 2 --guid G-4 structural >/dev/null
check "--backup-keep 2" 2 "$(ls "$root/drive_c/Kelvaro/Ilvane/Settings" | grep -c '^IL3_Config.ini\..*\.bak$')"

# --log: the run's lines appended with the time and the command; /SILENT as --silent.
"$prog" /SILENT --root "$root" --log "$root/journal.txt" --guid G-5 structural >/dev/null
"$prog" /SILENT --root "$root" --log "$root/journal.txt" general >/dev/null
check "--log: two runs, each with its command and status" "2 2 2" \
  "$(grep -c '^=== ....-..-.. ..:..:.. .*/SILENT' "$root/journal.txt") $(grep -c '^=== statut 0$' "$root/journal.txt") $(grep -c '^info: ' "$root/journal.txt")"

# The help's examples survive a paste into bash.
ligne=$("$prog" --help | grep -m1 "ini get '")
ligne=${ligne/--root \/srv\/site/--root $root}
check "--help quotes its Windows paths" "Radio Sud" "$(eval "${ligne/il3-setup/$prog}" 2>&1)"

# Every document of these commands follows the shipped schema.
for doc in "$(ini merge --check --json "$pub" "$root/fragment.ini")" "$(run --check --json restore)" \
           "$(ini set --check --json "$pub" Essai Cle 2)" "$(ini del --check --json "$pub" Essai)"; do
  printf '%s' "$doc" | "$valider" >/dev/null || { echo "FAIL a document off the schema"; fails=$((fails + 1)); }
done

[ "$fails" -eq 0 ] && echo "integrateurs: all passed" || { echo "integrateurs: $fails failed"; exit 1; }
