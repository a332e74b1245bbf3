# Shared by the save tests: a sandbox prefix, checks, and a site made by the program itself.
# Sourced; the caller sets `prog` (the il3-setup under test) first.
set -u
sandbox="$(mktemp -d "${TMPDIR:-/tmp}/il3-enreg-XXXXXX")"
chmod 0755 "$sandbox"  # other users of the tests must reach it
montages=()
nettoyer() {
  local m
  for m in "${montages[@]}"; do umount "$m" 2>/dev/null; done
  chmod -R u+w "$sandbox" 2>/dev/null
  rm -rf "$sandbox"
}
trap nettoyer EXIT
fails=0
check() {  # description, expected, actual
  if [ "$2" = "$3" ]; then echo "ok   $1"; else echo "FAIL $1: expected [$2], got [$3]"; fails=$((fails + 1)); fi
}
contient() {  # description, needle, haystack
  case "$3" in *"$2"*) echo "ok   $1";; *) echo "FAIL $1: [$2] not in [$3]"; fails=$((fails + 1));; esac
}
fin() {  # name
  [ "$fails" -eq 0 ] && echo "$1: all passed" || { echo "$1: $fails failed"; exit 1; }
}
# Messages must be French: none of the C library's English texts.
sans_anglais() {  # description, text
  case "$2" in
    *"No such"*|*"Permission denied"*|*"too long"*|*"No space"*|*"Read-only"*|*"quota"[[:space:]]"exceeded"*|*"Is a directory"*|*"Too many"*|*"Operation not"*)
      echo "FAIL $1: English system text in [$2]"; fails=$((fails + 1));;
    *) echo "ok   $1";;
  esac
}
# A prefix whose configuration folder exists: PREFIX/drive_c/Kelvaro/Ilvane/Config.
nouveau_site() {  # prefix
  mkdir -p "$1/drive_c/windows"
  "$prog" --silent --root "$1" folders >/dev/null
}
config_de() { echo "$1/drive_c/Kelvaro/Ilvane/Config"; }
fichiers_generaux="Kv_Sys.ini IL3_Systeme.ini KV_Mus.ini KV_Pub.ini"
# Every settings file of a full run, with one key line out of `pas` taken away:
# the next run has something to add to each file.
site_incomplet() {  # prefix, pas
  local c f
  nouveau_site "$1"
  "$prog" --silent --root "$1" --station 1=Nord --station 2=Sud general >/dev/null
  c="$(config_de "$1")"
  for f in $fichiers_generaux; do
    awk -v pas="$2" '/=/ { if (++n % pas == 0) next } { print }' "$c/$f" >"$c/$f.tmp" && mv "$c/$f.tmp" "$c/$f"
  done
}
empreinte() { cksum <"$1" | cut -d" " -f1; }
# Leftovers of a save: any name but the settings files themselves and the folders.
debris() {  # folder
  find "$1" -maxdepth 1 -mindepth 1 -name '.*' | wc -l
}
