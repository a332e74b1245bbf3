#!/usr/bin/env bash
# Root runs on a site another account can write: every link that account plants,
# every folder it swaps, must leave root's own files as they were. The account
# is an unprivileged uid with no name (nothing is added to the system's users);
# its moves are made under its own identity (setpriv).
prog="$1"
. "$(dirname "$0")/commun.sh"
if [ "$(id -u)" != 0 ] || ! command -v setpriv >/dev/null; then
  echo "skipped: needs root and setpriv, to act as another account and then as root"
  exit 0
fi
compte=4242
en_compte() { setpriv --reuid=$compte --regid=$compte --clear-groups -- "$@"; }

# Root's files outside the site: what no attack may change (content, owner, mode).
leurre="$sandbox/leurre"
mkdir -p "$leurre/dossier"
printf 'secret de root, 52 octets, que personne ne doit lire\n' > "$leurre/secret"
cp "$leurre/secret" "$leurre/lecture400"
cp "$leurre/secret" "$leurre/lecture444"
chmod 600 "$leurre/secret"
chmod 400 "$leurre/lecture400"
chmod 444 "$leurre/lecture444"
chmod 755 "$leurre" "$leurre/dossier"
etat_leurre() { find "$leurre" -printf '%p %U %G %m %s %T@\n' | sort; find "$leurre" -type f -exec cat {} + | md5sum; }
avant=$(etat_leurre)

site="$sandbox/site"
cfg="$site/drive_c/Kelvaro/Ilvane/Config"
settings="$site/drive_c/Kelvaro/Ilvane/Settings"
run() { "$prog" --silent --root "$site" --app-dir 'C:\Kelvaro\Ilvane\' "$@" 2>&1; }
# A site that the account owns whole, as the suite's own account would.
remettre_site() {
  rm -rf "$site"
  mkdir -p "$site/drive_c/windows"
  run folders structural general >/dev/null
  chown -R $compte:$compte "$site"
}

tenues=0
tentees=0
# One attack: the account's move, then root's run; held when the run fails,
# names the link, and the decoy is untouched.
attaque() {  # description, the account's command, then root's run arguments
  local quoi=$1 coup=$2 out rc
  shift 2
  remettre_site
  en_compte sh -c "$coup" || { echo "FAIL $quoi: the account could not make its move"; fails=$((fails + 1)); return; }
  out=$("$@"); rc=$?
  tentees=$((tentees + 1))
  if [ "$rc" = 1 ] && [ "$(etat_leurre)" = "$avant" ] && { [[ "$out" == *"lien symbolique refusé"* ]] || [[ "$out" == *"sans cible"* ]]; }; then
    tenues=$((tenues + 1))
    echo "ok   $quoi"
  else
    echo "FAIL $quoi: exit $rc, decoy $([ "$(etat_leurre)" = "$avant" ] && echo intact || echo CHANGED): $(head -c 400 <<<"$out")"
    fails=$((fails + 1))
  fi
}
ini() { "$prog" --root "$site" ini "$@" 2>&1; }

for cible in secret lecture400 lecture444; do
  for f in KV_Pub.ini Kv_Sys.ini IL3_Systeme.ini; do
    attaque "$f -> $cible, general" "rm -f '$cfg/$f' && ln -s '$leurre/$cible' '$cfg/$f'" run general
  done
  attaque "IL3_Config.ini -> $cible, structural" "rm -f '$settings/IL3_Config.ini' && ln -s '$leurre/$cible' '$settings/IL3_Config.ini'" run structural
  attaque "Win.ini -> $cible, structural" "rm -f '$site/drive_c/windows/Win.ini' && ln -s '$leurre/$cible' '$site/drive_c/windows/Win.ini'" run structural
done
attaque "KV_Pub.ini -> secret, ini set" "rm -f '$cfg/KV_Pub.ini' && ln -s '$leurre/secret' '$cfg/KV_Pub.ini'" \
  ini set 'C:\Kelvaro\Ilvane\Config\KV_Pub.ini' Essai Cle 1
attaque "Kv_Sys.ini -> secret, --backup general" "rm -f '$cfg/Kv_Sys.ini' && ln -s '$leurre/secret' '$cfg/Kv_Sys.ini'" run --backup general
attaque "the configuration folder -> root's folder" "mv '$cfg' '$cfg.vrai' && ln -s '$leurre/dossier' '$cfg'" run general
attaque "C:\\Journix -> root's folder, folders" "rm -rf '$site/drive_c/Journix' && ln -s '$leurre/dossier' '$site/drive_c/Journix'" run folders
attaque "a drive of the prefix -> root's folder" "mkdir -p '$site/dosdevices' && ln -s '$leurre/dossier' '$site/dosdevices/s:'" \
  run --folder '1=S:\Config\' general
attaque "the link of a link" "mkdir '$site/relais' && ln -s '$leurre/secret' '$site/relais/b' && rm -f '$cfg/KV_Pub.ini' && ln -s '$site/relais/b' '$cfg/KV_Pub.ini'" \
  run general
sans_anglais "the refusal is French" "$(run general)"

# The race: the account swaps the configuration folder for a link to root's
# folder and back, as fast as it can, while root runs the general button.
remettre_site
mkdir "$sandbox/compte" && chown $compte "$sandbox/compte"
en_compte sh -c "i=0; while [ \$i -lt 100000 ] && [ ! -e '$sandbox/stop' ]; do
  mv '$cfg' '$cfg.vrai' 2>/dev/null && ln -s '$leurre/dossier' '$cfg' 2>/dev/null; rm -f '$cfg' 2>/dev/null; mv '$cfg.vrai' '$cfg' 2>/dev/null
  i=\$((i + 1)); done; echo \$i > '$sandbox/compte/tours'" &
echangeur=$!
for n in $(seq 1 300); do run general >/dev/null; done
touch "$sandbox/stop"
wait $echangeur
echo "     race: $(cat "$sandbox/compte/tours") swaps during 300 root runs"
check "race: root's folder untouched" "$avant" "$(etat_leurre)"

# The honest case: the suite's account shares one file between sites through its own link.
remettre_site
partage="$sandbox/partage"
mkdir -p "$partage" && chown $compte:$compte "$partage"
en_compte sh -c "mv '$cfg/KV_Pub.ini' '$partage/KV_Pub.ini' && sed -i '/^Voix_07=/d' '$partage/KV_Pub.ini' && ln -s '$partage/KV_Pub.ini' '$cfg/KV_Pub.ini'"
out=$(run general); rc=$?
check "a shared file through the account's own link: exit 0" 0 "$rc"
check "and it gets its missing key" 1 "$(grep -c '^Voix_07=' "$partage/KV_Pub.ini")"
check "the link stays a link" yes "$([ -L "$cfg/KV_Pub.ini" ] && echo yes)"

echo "     attacks held: $tenues of $tentees"
check "decoy untouched after all" "$avant" "$(etat_leurre)"
fin racine
