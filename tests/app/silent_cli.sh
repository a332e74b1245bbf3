#!/usr/bin/env bash
# The program as a script uses it: exit statuses, printed messages, files on disk.
set -u
prog="$1"
root="$(mktemp -d)"
trap 'chmod -R u+w "$root"; rm -rf "$root"' EXIT
mkdir -p "$root/drive_c/windows"
fails=0
check() {  # description, expected, actual
  if [ "$2" = "$3" ]; then echo "ok   $1"; else echo "FAIL $1: expected [$2], got [$3]"; fails=$((fails + 1)); fi
}

out=$("$prog" --silent --root "$root" general); rc=$?
check "missing configuration folder exits 1" 1 "$rc"
check "missing configuration folder message" "error: Dossier de config non trouvé: C:\\Kelvaro\\Ilvane\\Config\\ Créez-le d'abord avec « Créer les dossiers »." "$out"

out=$("$prog" --silent --root "$root" --station 2=Sud folders general); rc=$?
check "folders then general exit 0" 0 "$rc"
check "messages, one per line" "$(printf 'info: Dossiers créés\nwarning: Le nom de la radio est encore l'"'"'exemple « Nom de votre Radio »: il est écrit tel quel.\nwarning: Le nom de la station 1 est encore l'"'"'exemple « Nom de la Station 1 »: il est écrit tel quel.\ninfo: Paramétrage créé ou MAJ')" "$(grep -v '^changed: ' <<<"$out")"
kv="$root/drive_c/Kelvaro/Ilvane/Config/Kv_Sys.ini"
check "Kv_Sys.ini keys for two stations" 124 "$(grep -c = "$kv")"

out=$("$prog" --root "$root" ini get 'C:\Kelvaro\Ilvane\Config\Kv_Sys.ini' div_radio station_002); rc=$?
check "ini get" "0 Sud" "$rc $out"
out=$("$prog" --root "$root" ini get 'c:\kelvaro\ilvane\config\absent.ini' S K "défaut  "); rc=$?
check "ini get default, trailing blanks dropped" "0 défaut" "$rc $out"
"$prog" --root "$root" ini set "$kv" Users USER "Zoé"; rc=$?
check "ini set with a host path" 0 "$rc"
check "stored in Windows-1252" "USER=Zo$(printf '\xe9')" "$(grep -a '^USER=' "$kv" | tr -d '\r')"
err=$("$prog" --root "$root" ini set "$kv" Users USER "$(printf 'a\nb')" 2>&1); rc=$?
check "a line break is refused" 1 "$rc"
case "$err" in *"saut de ligne"*) echo "ok   reason given";; *) echo "FAIL no reason: $err"; fails=$((fails+1));; esac
err=$("$prog" --root "$root" ini set "$kv" Users USER "Ā" 2>&1); rc=$?
check "a character outside Windows-1252 is refused" 1 "$rc"

err=$("$prog" --silent --root "$root/absent" general 2>&1 >/dev/null); rc=$?
check "a prefix that does not exist is a usage error" 2 "$rc"
mkdir -p "$root/vide"
err=$("$prog" --silent --root "$root/vide" general 2>/dev/null); rc=$?
check "a prefix without C: fails" 1 "$rc"
case "$err" in *"lecteur C:"*) echo "ok   and says why";; *) echo "FAIL no word on the missing C: drive: $err"; fails=$((fails+1));; esac

# A reader that goes away does not stop the work.
mkdir -p "$root/tuyau/drive_c/windows"
"$prog" --silent --root "$root/tuyau" folders structural general | head -n1 >/dev/null; rc=${PIPESTATUS[0]}
check "closed output: exit status" 0 "$rc"
check "closed output: every file written" 4 "$(ls "$root/tuyau/drive_c/Kelvaro/Ilvane/Config/" | grep -c '\.ini$')"

"$prog" --silent --station 9=X general >/dev/null 2>&1; rc=$?
check "usage error exits 2" 2 "$rc"

err=$("$prog" --silent --root "$root" general 2>&1 >/dev/null); rc=$?
check "no progress line without --verbose" "0 " "$rc $err"
err=$("$prog" --silent --verbose --root "$root" general 2>&1 >/dev/null); rc=$?
check "--verbose: the progress line of every key written" "0 124" "$rc $(grep -c '^C:\\Kelvaro\\Ilvane\\Config\\Kv_Sys.ini |' <<<"$err")"
check "--verbose: the key and its value" "C:\\Kelvaro\\Ilvane\\Config\\Kv_Sys.ini |Div_Radio | Station_002 | Sud" \
  "$(grep -F '| Station_002 |' <<<"$err")"

out=$("$prog" --silent --root "$root" --radio "Autre" general); rc=$?
check "second run keeps the stored radio name" "0 Nom de votre Radio" "$rc $(grep -a '^Nom_Radio=' "$kv" | tr -d '\r' | cut -d= -f2)"

# A file name in the configuration field names no folder to write into; a pattern
# is not even a path Windows can use.
cfg='C:\Kelvaro\Ilvane\Config\Kv_Sys.ini'
before=$(cat "$root/drive_c/Kelvaro/Ilvane/Config/"* | md5sum)
out=$("$prog" --silent --root "$root" --folder "1=$cfg" structural general); rc=$?
check "a file as configuration folder is refused" "1 error: Dossier de config non trouvé: $cfg" "$rc $(grep '^error' <<< "$out" | head -n1)"
"$prog" --silent --root "$root" --folder '1=C:\Kelvaro\Ilvane\Conf*' structural general >/dev/null 2>&1; rc=$?
check "a pattern as configuration folder is a usage error" 2 "$rc"
check "and nothing written" "$before" "$(cat "$root/drive_c/Kelvaro/Ilvane/Config/"* | md5sum)"

# What Windows could not read never reaches the disk (exit 2, nothing written).
for args in "--root=" "--folder 1=/srv/site/Config/" "--folder 4=Sons\\" "--app-dir Relatif\\" \
            "--folder 5=C:\\CON\\" "--folder 5=C:\\x\\aux.txt\\" "--folder 5=C:\\中\\" \
            "--radio $(printf '\xff')" "--folder 5=C:\\$(printf 'a%.0s' $(seq 300))\\"; do
  read -r -a argv <<< "$args"
  err=$("$prog" --silent --root "$root" "${argv[@]}" folders general 2>&1 >/dev/null); rc=$?
  check "refused: ${args:0:40}" 2 "$rc"
  [ -n "$err" ] || { echo "FAIL no reason given for ${args:0:40}"; fails=$((fails + 1)); }
done
check "nothing written by the refused lines" "$before" "$(cat "$root/drive_c/Kelvaro/Ilvane/Config/"* | md5sum)"
"$prog" --silent --root "$root" --radio X >/dev/null 2>&1; rc=$?
check "--silent without an action is a usage error" 2 "$rc"

# A UTF-16LE settings file stays UTF-16LE: read, kept and completed as Windows does.
mkdir -p "$root/u16/drive_c"
"$prog" --silent --root "$root/u16" folders >/dev/null
pub="$root/u16/drive_c/Kelvaro/Ilvane/Config/KV_Pub.ini"
printf '[Div]\r\nMaCle=中\r\n' | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } > "$pub"
"$prog" --silent --root "$root/u16" general >/dev/null; rc=$?
check "UTF-16LE file: exit status" 0 "$rc"
check "UTF-16LE file: still UTF-16LE" "fffe" "$(head -c 2 "$pub" | od -An -tx1 | tr -d ' \n')"
check "UTF-16LE file: its own key kept" "MaCle=中" "$(tail -c +3 "$pub" | iconv -f UTF-16LE -t UTF-8 | tr -d '\r' | grep '^MaCle=')"
check "UTF-16LE file: the missing keys added" 391 "$(tail -c +3 "$pub" | iconv -f UTF-16LE -t UTF-8 | grep -c =)"

# The README's example, as written there, on a fresh prefix.
mkdir -p "$root/site1/drive_c"
out=$("$prog" --silent --root "$root/site1" folders structural general); rc=$?
check "README example" "0 info: Dossiers créés" "$rc $(head -n1 <<< "$out")"
check "README example: Kv_Sys.ini where the README says" 1 "$(ls "$root/site1/drive_c/Kelvaro/Ilvane/Config/Kv_Sys.ini" | wc -l)"
"$prog" --help | grep -q -- '--root' || { echo "FAIL --help does not tell of --root"; fails=$((fails + 1)); }

[ "$fails" -eq 0 ] && echo "silent_cli: all passed" || { echo "silent_cli: $fails failed"; exit 1; }
