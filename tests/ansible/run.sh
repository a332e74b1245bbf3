#!/usr/bin/env bash
# The Ansible module against several local sites, each with its own prefix: the
# first run changes every site, the second none; a deleted key shows in check
# and diff mode on its site only, and a real run restores it; a site whose
# configuration folder is missing fails with the program's French message.
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

[ "$fails" -eq 0 ] && echo "ansible: all passed" || { echo "ansible: $fails failed"; exit 1; }
