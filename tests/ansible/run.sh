#!/usr/bin/env bash
# The Ansible module against several local sites, each with its own prefix: the
# first run changes every site, the second none; a deleted key shows in check
# and diff mode on its site only, and a real run restores it; a site whose
# configuration folder is missing fails with the program's French message.
# On a site renamed with a station added, the stored values stay and a warning
# says update applies them; update previews them in check and diff mode, then
# writes them, once.
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

if ansible-doc -M "$top/ansible/library" il3_site 2>&1 | grep -q 'RETURN VALUES'; then echo "ok   the module's documentation reads"
else echo "FAIL ansible-doc cannot read the module's documentation"; fails=$((fails + 1)); fi

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
out=$(play)
check "a real run restores it, on that site only" "centre changed=0 failed=0 nord changed=1 failed=0 sud changed=0 failed=0 " "$(recap "$out")"
check "the key is back" 1 "$(key_count)"
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

[ "$fails" -eq 0 ] && echo "ansible: all passed" || { echo "ansible: $fails failed"; exit 1; }
