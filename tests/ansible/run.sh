#!/usr/bin/env bash
# The Ansible module against several local sites, each with its own prefix: the
# first run changes every site, the second none; a deleted key shows in check
# and diff mode on its site only, and a real run restores it; a site whose
# configuration folder is missing fails with the program's French message.
# On a site renamed with a station added, the stored values stay and a warning
# says update applies them; update previews them in check and diff mode, then
# writes them, once. A run with backup is put back byte for byte by restore
# (refused over a file changed since, unless forced; check mode writes
# nothing). il3_ini merges a fragment into three sites (check mode first,
# then for real, then unchanged), sets and removes single keys and sections.
# The README's quick-start runs as written on a copy whose prefixes are missing.
# Usage: run.sh PATH_OF_IL3_SETUP
set -u
top="$(cd "$(dirname "$0")/../.." && pwd)"
prog="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
command -v ansible-playbook >/dev/null || { echo "ansible: ansible-playbook missing (scripts/install-deps.sh)"; exit 2; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export ANSIBLE_LOCAL_TEMP="$work/ansible-local" ANSIBLE_REMOTE_TEMP="$work/ansible-remote" ANSIBLE_NOCOLOR=1 \
  ANSIBLE_RETRY_FILES_ENABLED=0 ANSIBLE_HOST_KEY_CHECKING=0 ANSIBLE_STDOUT_CALLBACK=default
fails=0
check() {  # description, expected, actual
  if [ "$2" = "$3" ]; then echo "ok   $1"; else echo "FAIL $1: expected [$2], got [$3]"; fails=$((fails + 1)); fi
}

inventory="$work/inventory.ini"
{
  echo "[radio_sites]"
  for s in sud nord centre; do
    mkdir -p "$work/$s/drive_c/windows"
    echo "$s ansible_connection=local il3_root=$work/$s il3_radio=\"Radio ${s^}\" il3_guid=${s^^}-1"
  done
  mkdir -p "$work/casse/drive_c/windows"
  echo "[broken]"
  echo "casse ansible_connection=local il3_root=$work/casse il3_actions='[\"general\"]'"
  mkdir -p "$work/maj/drive_c/windows"
  echo "[renamed]"
  echo "maj ansible_connection=local il3_root=$work/maj il3_radio=\"Radio Sud\" il3_stations='[\"Studio\"]'"
  echo "[all:vars]"
  echo "ansible_python_interpreter=/usr/bin/python3"
  echo "il3_program=$prog"
  echo 'il3_app_dir=C:\Kelvaro\Ilvane\'
  echo "il3_stations='[\"Studio\", \"Antenne\"]'"
} > "$inventory"

for m in il3_site il3_ini; do
  if ansible-doc -M "$top/ansible/library" "$m" 2>&1 | grep -q 'RETURN VALUES'; then echo "ok   $m: the documentation reads"
  else echo "FAIL ansible-doc cannot read the documentation of $m"; fails=$((fails + 1)); fi
done

play() { ansible-playbook -i "$inventory" "$top/ansible/site.yml" "$@" 2>&1; }
recap() {  # the changed= and failed= counts of each site, from the play recap
  grep -A8 '^PLAY RECAP' <<<"$1" | grep ' : ok=' >&2  # shown as is, for the log
  sed -n 's/^\([a-z]*\) *: ok=[0-9]* *changed=\([0-9]*\) .*failed=\([0-9]*\).*/\1 changed=\2 failed=\3/p' <<<"$1" | sort | tr '\n' ' '
}

out=$(play)
check "first run: every site changed" "centre changed=1 failed=0 nord changed=1 failed=0 sud changed=1 failed=0 " "$(recap "$out")"
out=$(play)
check "second run: no site changed" "centre changed=0 failed=0 nord changed=0 failed=0 sud changed=0 failed=0 " "$(recap "$out")"

pub="$work/nord/drive_c/Kelvaro/Ilvane/Config/KV_Pub.ini"
sed -i '/^Debut_Tranche_05=/d' "$pub"
key_count() { grep -c '^Debut_Tranche_05=' "$pub"; }
check "the key is deleted" 0 "$(key_count)"
out=$(play --check)
check "check mode: only the site with the deleted key changes" "centre changed=0 failed=0 nord changed=1 failed=0 sud changed=0 failed=0 " "$(recap "$out")"
check "check mode left the key missing" 0 "$(key_count)"
out=$(play --check --diff)
case "$out" in
  *"+[Pub_Heures_Des_Tranches] Debut_Tranche_05=05"*) echo "ok   diff mode shows the key";;
  *) echo "FAIL diff mode does not show the key:"; echo "$out" | head -40; fails=$((fails + 1));;
esac
ilvane="$work/nord/drive_c/Kelvaro/Ilvane"
cp -a "$ilvane" "$work/before-backup"
out=$(play -e il3_backup=true)
check "a real run restores it, on that site only" "centre changed=0 failed=0 nord changed=1 failed=0 sud changed=0 failed=0 " "$(recap "$out")"
check "the key is back" 1 "$(key_count)"

stamp=$(basename "$ilvane"/Config/KV_Pub.ini.*.bak .bak); stamp=${stamp#KV_Pub.ini.}
"$prog" --root "$work/nord" ini set 'C:\Kelvaro\Ilvane\Config\KV_Pub.ini' Pub_Voix Voix_01 'A la main' >/dev/null
cat > "$work/restore.yml" <<'PLAY'
- hosts: nord
  gather_facts: false
  tasks:
    - il3_site: {program: "{{ il3_program }}", root: "{{ il3_root }}", app_dir: "{{ il3_app_dir }}", restore: true}
      register: plain
      ignore_errors: true
    - il3_site: {program: "{{ il3_program }}", root: "{{ il3_root }}", app_dir: "{{ il3_app_dir }}", restore: true, force: true}
      check_mode: true
      register: preview
    - il3_site: {program: "{{ il3_program }}", root: "{{ il3_root }}", app_dir: "{{ il3_app_dir }}", restore: true,
                 restore_stamp: 20000101-000000, force: true}
      register: other
      ignore_errors: true
    - debug:
        msg: "refused={{ plain.failed }} preview={{ preview.changed }} {{ plain.msg }} | {{ other.msg }}"
PLAY
out=$(ANSIBLE_LIBRARY="$top/ansible/library" ansible-playbook -i "$inventory" "$work/restore.yml" 2>&1)
case "$out" in
  *"refused=True preview=True Restauration refusée: ces fichiers ont changé"*"| Aucune sauvegarde 20000101-000000"*)
    echo "ok   restore over a hand edit is refused, forced in check mode reports changed, a stamp without backups fails";;
  *) echo "FAIL restore refusal or preview:"; echo "$out" | tail -30; fails=$((fails + 1));;
esac
voix() { "$prog" --root "$work/$1" ini get 'C:\Kelvaro\Ilvane\Config\KV_Pub.ini' Pub_Voix Voix_01; }
check "neither wrote" "A la main" "$(voix nord)"
out=$(play -e il3_hosts=nord -e il3_restore=true -e il3_force=true -e "il3_restore_stamp=$stamp")
check "restore forced, by its stamp: changed" "nord changed=1 failed=0 " "$(recap "$out")"
if diff -r -x '*.bak' -x '*.apres' "$work/before-backup" "$ilvane" >&2; then echo "ok   the files are back byte for byte"
else echo "FAIL the files differ from those before the run with backup"; fails=$((fails + 1)); fi
out=$(play -e il3_hosts=nord -e il3_restore=true)
check "a second restore changes nothing" "nord changed=0 failed=0 " "$(recap "$out")"

settings() { ansible-playbook -i "$inventory" "$top/ansible/settings.yml" "$@" 2>&1; }
pubs() { for s in sud nord centre; do cksum < "$work/$s/drive_c/Kelvaro/Ilvane/Config/KV_Pub.ini"; done | paste -sd' '; }
sums=$(pubs)
out=$(settings --check --diff)
check "fragment in check mode: every site changed" "centre changed=1 failed=0 nord changed=1 failed=0 sud changed=1 failed=0 " "$(recap "$out")"
check "and no file written" "$sums" "$(pubs)"
case "$out" in
  *"-[Pub_Voix] Voix_01=Voix 01"*"+[Pub_Voix] Voix_01=Annonce"*) echo "ok   diff mode shows the values the fragment changes";;
  *) echo "FAIL diff mode does not show the fragment's values:"; echo "$out" | head -40; fails=$((fails + 1));;
esac
out=$(settings)
check "fragment: every site changed" "centre changed=1 failed=0 nord changed=1 failed=0 sud changed=1 failed=0 " "$(recap "$out")"
check "and written" "Annonce Annonce Annonce" "$(for s in sud nord centre; do voix $s; done | paste -sd' ')"
out=$(settings)
check "fragment again: no site changed" "centre changed=0 failed=0 nord changed=0 failed=0 sud changed=0 failed=0 " "$(recap "$out")"

printf '[Pub_Voix]\nVoix_01=Autre\n[Essai]\nNeuf=1\n' > "$work/fragment.ini"
cat > "$work/keys.yml" <<'PLAY'
- hosts: sud
  gather_facts: false
  module_defaults:
    il3_ini: {program: "{{ il3_program }}", root: "{{ il3_root }}", path: 'C:\Kelvaro\Ilvane\Config\KV_Pub.ini'}
  tasks:
    - {il3_ini: {section: Essai, option: Cle, value: "1"}, register: set}
    - {il3_ini: {section: Essai, option: Cle, value: "1"}, register: again}
    - {il3_ini: {section: Essai, option: Cle, value: "2"}, register: preview, check_mode: true}
    - {il3_ini: {section: Essai, option: Cle, state: absent}, register: gone}
    - {il3_ini: {section: Essai, option: Cle, state: absent}, register: gone_again}
    - {il3_ini: {section: Essai, option: Autre, value: x}}
    - {il3_ini: {section: Essai, state: absent}, register: section}
    - {il3_ini: {fragment: "{{ fragment }}", missing_only: true}, register: missing}
    - {il3_ini: {section: Essai, option: Cle, value: "a\nb"}, register: bad, ignore_errors: true}
    - debug:
        msg: >-
          changed: {{ [set, again, preview, gone, gone_again, section, missing] | map(attribute='changed') | join(' ') }}
          failed={{ bad.failed }} {{ bad.msg }}
PLAY
out=$(ANSIBLE_LIBRARY="$top/ansible/library" ansible-playbook -i "$inventory" "$work/keys.yml" --diff -e "fragment=$work/fragment.ini" 2>&1)
case "$out" in
  *"changed: True False True True False True True failed=True écriture refusée: saut de ligne"*) echo "ok   one key: set, unchanged, previewed, removed, section removed, merged, refused";;
  *) echo "FAIL one key:"; echo "$out" | tail -40; fails=$((fails + 1));;
esac
case "$out" in
  *"-[Essai] Cle=1"*"-[Essai]"*"-[Essai] Autre=x"*) echo "ok   diff mode shows what a removal takes away";;
  *) echo "FAIL diff mode does not show the removed keys:"; echo "$out" | head -60; fails=$((fails + 1));;
esac
check "missing_only kept the value and added the missing key" "Annonce|1" \
  "$(voix sud)|$("$prog" --root "$work/sud" ini get 'C:\Kelvaro\Ilvane\Config\KV_Pub.ini' Essai Neuf)"
out=$(play -e il3_hosts=broken)
check "a site without its configuration folder fails" "casse changed=0 failed=1 " "$(recap "$out")"
case "$out" in
  *"Dossier de config non trouvé"*) echo "ok   with the program's French message";;
  *) echo "FAIL no French message:"; echo "$out" | head -30; fails=$((fails + 1));;
esac

cat > "$work/renamed.yml" <<'PLAY'
- hosts: renamed
  gather_facts: false
  tasks:
    - il3_site:
        program: "{{ il3_program }}"
        root: "{{ il3_root }}"
        app_dir: "{{ il3_app_dir }}"
        radio: Radio Sud FM
        stations: [Studio, Antenne]
        update: "{{ il3_update | default(false) }}"
      register: il3
    - debug:
        msg: "kept:{% for k in il3.kept %} [{{ k.section }}] {{ k.key }}={{ k.stored }} tuned={{ k.tuned }};{% endfor %}"
PLAY
renamed() { ANSIBLE_LIBRARY="$top/ansible/library" ansible-playbook -i "$inventory" "$work/renamed.yml" "$@" 2>&1; }
sys_keys() {  # the radio name and station count of the renamed site
  for k in "Div_Radio Nom_Radio" "Stations NB_MAX"; do
    # shellcheck disable=SC2086
    "$prog" --root "$work/maj" ini get 'C:\Kelvaro\Ilvane\Config\Kv_Sys.ini' $k
  done | paste -sd'|'
}
out=$(play -e il3_hosts=renamed)
check "the site to rename is set up" "maj changed=1 failed=0 " "$(recap "$out")"
out=$(renamed)
check "without update the name and count stay" "Radio Sud|1" "$(sys_keys)"
case "$out" in
  *"[Div_Radio] Nom_Radio=Radio Sud tuned=False; [Stations] NB_MAX=1 tuned=False;"*) echo "ok   and are returned in kept";;
  *) echo "FAIL the kept values are not returned:"; echo "$out" | head -40; fails=$((fails + 1));;
esac
case "$out" in
  *"[WARNING]: 4 valeurs enregistrées diffèrent"*"--update les applique"*) echo "ok   with a warning that update applies them";;
  *) echo "FAIL no warning:"; echo "$out" | head -40; fails=$((fails + 1));;
esac
out=$(renamed -e il3_update=true --check --diff)
check "update in check mode: changed" "maj changed=1 failed=0 " "$(recap "$out")"
check "and the files untouched" "Radio Sud|1" "$(sys_keys)"
case "$out" in
  *"-[Div_Radio] Nom_Radio=Radio Sud"*"+[Div_Radio] Nom_Radio=Radio Sud FM"*"+[Stations] NB_MAX=2"*)
    echo "ok   diff mode shows the new values";;
  *) echo "FAIL diff mode does not show the new values:"; echo "$out" | head -60; fails=$((fails + 1));;
esac
out=$(renamed -e il3_update=true)
check "update writes the new name and count" "Radio Sud FM|2" "$(sys_keys)"
case "$out" in
  *'"msg": "kept:"'*) echo "ok   and keeps nothing";;
  *) echo "FAIL values still kept:"; echo "$out" | head -40; fails=$((fails + 1));;
esac
out=$(renamed -e il3_update=true)
check "a second update changes nothing" "maj changed=0 failed=0 " "$(recap "$out")"

# The quick-start as written, on a copy whose prefixes lie in the sandbox and do not exist yet.
qs="$work/quick"
mkdir -p "$qs" "$work/bin"
cp -r "$top/ansible" "$qs/"
ln -s "$prog" "$work/bin/il3-setup"
sed -i "s#il3_root=/srv/#il3_root=$qs/srv/#" "$qs/ansible/inventory.ini"
roots=$(grep -c 'il3_root=' "$qs/ansible/inventory.ini")
if [ "$roots" -eq 0 ] || [ "$roots" -ne "$(grep -c "il3_root=$qs/srv/" "$qs/ansible/inventory.ini")" ]; then
  echo "FAIL the quick-start inventory's roots are not all under /srv/"; fails=$((fails + 1))
else
  quick() { (cd "$qs" && env -u ANSIBLE_LIBRARY PATH="$work/bin:$PATH" ansible-playbook -i ansible/inventory.ini ansible/site.yml "$@" 2>&1); }
  out=$(quick --check --diff)
  check "quick-start in check mode: every site changed" "centre changed=1 failed=0 nord changed=1 failed=0 sud changed=1 failed=0 " "$(recap "$out")"
  check "and no prefix created" "absent" "$([ -e "$qs/srv" ] && echo present || echo absent)"
  case "$out" in
    *"+$qs/srv/radios/sud/drive_c/windows"*"+[Div_Radio] Nom_Radio=Radio Sud"*) echo "ok   diff mode shows the prefix and the keys";;
    *) echo "FAIL diff mode does not show the prefix and keys:"; echo "$out" | head -40; fails=$((fails + 1));;
  esac
  out=$(quick)
  check "quick-start: every site set up" "centre changed=1 failed=0 nord changed=1 failed=0 sud changed=1 failed=0 " "$(recap "$out")"
  check "in its created prefix" "Radio Centre" \
    "$("$prog" --root "$qs/srv/radios/centre" ini get 'C:\Kelvaro\Ilvane\Config\Kv_Sys.ini' Div_Radio Nom_Radio)"
fi

[ "$fails" -eq 0 ] && echo "ansible: all passed" || { echo "ansible: $fails failed"; exit 1; }
