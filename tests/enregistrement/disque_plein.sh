#!/usr/bin/env bash
# A save that the file system refuses (full disk, no free inode, read-only
# medium) keeps the old file byte for byte, names the file and the reason in
# French, and exits 1. On a real small file system: a tmpfs mounted here as root.
# Quota has no such stand-in here: the fault injection of posix_tests covers it.
prog="$1"
. "$(dirname "$0")/commun.sh"

petit="$sandbox/petit"; mkdir "$petit"
if [ "$(id -u)" -ne 0 ]; then echo "skip: mounting a small file system needs root"; exit 0; fi
if ! err=$(mount -t tmpfs -o size=512k,nr_inodes=200,mode=0755 tmpfs "$petit" 2>&1); then
  echo "skip: mount refused here ($err); the fault injection of posix_tests covers these cases"; exit 0
fi
montages+=("$petit")
echo "     real tmpfs of 512 KiB mounted"
root="$petit/site"; site_incomplet "$root" 9
cfg="$(config_de "$root")"
empreintes() { local f; for f in $fichiers_generaux; do empreinte "$cfg/$f"; done | tr '\n' ' '; }
avant="$(empreintes)"

essai() {  # what, expected reason
  out=$("$prog" --silent --root "$root" general 2>&1); rc=$?
  check "$1, general: exit" 1 "$rc"
  contient "$1, general: the file is named" "Kv_Sys.ini" "$out"
  contient "$1, general: the reason" "$2" "$out"
  sans_anglais "$1, general: French" "$out"
  err=$("$prog" --root "$root" ini set 'C:\Kelvaro\Ilvane\Config\KV_Mus.ini' S K v 2>&1); rc=$?
  check "$1, ini set: exit" 1 "$rc"
  contient "$1, ini set: the reason" "$2" "$err"
  check "$1: every file byte-identical" "$avant" "$(empreintes)"
  check "$1: no leftover" 0 "$(debris "$cfg")"
}

dd if=/dev/zero of="$petit/bourrage" bs=4k 2>/dev/null
essai "full disk" "disque plein"
rm -f "$petit/bourrage"

mkdir "$petit/inodes"; n=0
while : 2>/dev/null >"$petit/inodes/$n"; do n=$((n + 1)); done 2>/dev/null
essai "no free inode" "disque plein"
rm -rf "$petit/inodes"

mount -o remount,ro "$petit"
essai "read-only medium" "lecture seule"
mount -o remount,rw "$petit"

"$prog" --silent --root "$root" general >/dev/null; rc=$?
check "once there is room again, the run succeeds" 0 "$rc"
fin disque_plein
