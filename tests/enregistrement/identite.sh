#!/usr/bin/env bash
# What a replaced settings file keeps: its owner and mode, its links, its kind;
# long names, and French reasons when a file cannot be written.
prog="$1"
. "$(dirname "$0")/commun.sh"

root="$sandbox/site"
site_incomplet "$root" 25
cfg="$(config_de "$root")"
pub="$cfg/KV_Pub.ini"
avant_pub="$(empreinte "$pub")"
ajoute_une_cle() {  # what the run adds to KV_Pub.ini: one key taken away
  "$prog" --silent --root "$root" general >/dev/null 2>&1
}

# The suite's own user owns its files; a technician runs the program as root.
if [ "$(id -u)" -eq 0 ]; then
  chown 65534:65534 "$cfg"/*.ini
  chmod 0640 "$pub"
  ajoute_une_cle; rc=$?
  check "as root, over files of another user: exit" 0 "$rc"
  check "owner and group kept" "65534:65534 640" "$(stat -c '%u:%g %a' "$pub")"
  [ "$(empreinte "$pub")" != "$avant_pub" ] && echo "ok   and the key was added" || { echo "FAIL nothing added"; fails=$((fails + 1)); }

  # A user of the file's group may write it, but cannot give a new file the old owner.
  chgrp 4243 "$cfg" "$pub"; chmod 0775 "$cfg"; chmod 0664 "$pub"
  avant="$(empreinte "$pub")"
  err=$(setpriv --reuid 4242 --regid 4242 --groups 4243 "$prog" --root "$root" ini set "$pub" S Cle v 2>&1); rc=$?
  check "group member, file of another user: refused" 1 "$rc"
  contient "the reason names the owner" "65534" "$err"
  check "file untouched" "$avant|65534:4243 664" "$(empreinte "$pub")|$(stat -c '%u:%g %a' "$pub")"
  check "no leftover" 0 "$(debris "$cfg")"
  chown -R 0:0 "$root"; chmod 0755 "$cfg"
else
  echo "skip owner cases: they need root"
fi

# A file shared by several stations through a symbolic link.
mkdir -p "$sandbox/partage"
mv "$pub" "$sandbox/partage/KV_Pub.ini"
ln -s ../../../../../partage/KV_Pub.ini "$pub"
ajoute_une_cle; rc=$?
check "through a link: exit" 0 "$rc"
check "the link stays a link" "yes" "$([ -L "$pub" ] && echo yes || echo no)"
[ "$(empreinte "$sandbox/partage/KV_Pub.ini")" != "$avant_pub" ] && echo "ok   the shared file got the key" ||
  { echo "FAIL shared file unchanged"; fails=$((fails + 1)); }
check "no leftover by the link nor by the target" "0 0" "$(debris "$cfg") $(debris "$sandbox/partage")"

for cas in sans-cible boucle; do
  rm -f "$pub"
  if [ $cas = sans-cible ]; then ln -s ../absent/KV_Pub.ini "$pub"; else ln -s "$cfg/boucle.ini" "$pub"; ln -sf "$pub" "$cfg/boucle.ini"; fi
  cible="$(readlink "$pub")"
  err=$("$prog" --root "$root" ini set "$pub" S K v 2>&1); rc=$?
  check "link $cas: refused" 1 "$rc"
  sans_anglais "link $cas: French reason" "$err"
  check "link $cas: left as it was, nothing created" "$cible no" "$(readlink "$pub") $([ -e "$root/drive_c/Kelvaro/Ilvane/absent" ] && echo yes || echo no)"
  rm -f "$cfg/boucle.ini"
done
rm -f "$pub"; cp "$sandbox/partage/KV_Pub.ini" "$pub"

# Only regular files are replaced.
rm -f "$pub"; mkfifo "$pub"
out=$(timeout 20 "$prog" --silent --root "$root" general 2>&1); rc=$?
check "a FIFO instead of KV_Pub.ini: exit" 1 "$rc"
contient "the FIFO is named" "KV_Pub.ini" "$out"
check "the FIFO stays" "fifo" "$([ -p "$pub" ] && echo fifo || echo other)"
sans_anglais "FIFO: French reason" "$out"
rm -f "$pub"
if mknod "$cfg/null.ini" c 1 3 2>/dev/null; then
  err=$("$prog" --root "$root" ini set "$cfg/null.ini" S K v 2>&1); rc=$?
  check "a device: refused" 1 "$rc"
  check "the device stays" "char" "$([ -c "$cfg/null.ini" ] && echo char || echo other)"
  sans_anglais "device: French reason" "$err"
  rm -f "$cfg/null.ini"
else
  echo "skip device case: mknod refused here"
fi

# Hard links: refused, so that the names never silently part.
printf '[S]\r\nK=1\r\n' >"$cfg/lie.ini"; ln "$cfg/lie.ini" "$sandbox/partage/lie.ini"
err=$("$prog" --root "$root" ini set "$cfg/lie.ini" S K 2 2>&1); rc=$?
check "a file with two hard links: refused" 1 "$rc"
check "both names unchanged, still linked" "2 K=1" "$(stat -c %h "$cfg/lie.ini") $(grep -a K= "$sandbox/partage/lie.ini" | tr -d '\r')"
sans_anglais "hard link: French reason" "$err"

# Names as long as Linux allows: the temporary name must never be longer.
long="$(printf 'n%.0s' $(seq 1 240)).ini"
"$prog" --root "$root" ini set "$cfg/$long" S K v; rc=$?
check "a 244-byte name is saved" "0 K=v" "$rc $(grep -a K= "$cfg/$long" 2>/dev/null | tr -d '\r')"
long="$(printf 'n%.0s' $(seq 1 251)).ini"
"$prog" --root "$root" ini set "$cfg/$long" S K v; rc=$?
check "a 255-byte name is saved" "0 K=v" "$rc $(grep -a K= "$cfg/$long" 2>/dev/null | tr -d '\r')"
err=$("$prog" --root "$root" ini set "$cfg/${long}x" S K v 2>&1); rc=$?
check "a name over the limit: refused" 1 "$rc"
sans_anglais "too long: French reason" "$err"
check "no leftover at all" 0 "$(debris "$cfg")"

# A runaway settings file is refused before it is read whole, in bounded memory.
truncate -s 200M "$cfg/KV_Pub.ini"
avant=$(stat -c '%s %Y' "$cfg/KV_Pub.ini")
out=$( (ulimit -v 400000; "$prog" --silent --root "$root" general) 2>&1); rc=$?
contient "a 200 MB file: refused with its size" "KV_Pub.ini: 390 clés non écrites (fichier trop grand pour un fichier de paramètres (200 Mo, 16 Mo au plus))" "$out"
check "and left as it was" "1 $avant" "$rc $(stat -c '%s %Y' "$cfg/KV_Pub.ini")"
rm -f "$cfg/KV_Pub.ini"

fin identite
