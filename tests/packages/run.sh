#!/usr/bin/env bash
# The packages of build/packages/ (scripts/package.sh), used as people use them:
#   the .deb: its contents and lintian, then installed with apt-get, the
#     installed program run from its installed paths, and removed: all of it in
#     a throwaway root (scripts/racine-jetable), never on the machine itself;
#   the MSI: installed, upgraded, refused as a downgrade and removed by Wine's
#     msiexec in a private prefix under build/; the zip's contents.
# The test refuses to run apt-get when il3-setup is installed already, or when
# apt would bring any other package along.
#
#   tests/packages/run.sh [deb|msi]...      (both when none is named)
set -uo pipefail
top="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$top"
# A run that tests the .deb moves whole into a throwaway root.
if [ -z "${IL3_RACINE_JETABLE:-}" ] && { [ $# -eq 0 ] || [[ " $* " == *" deb "* ]]; }; then
  exec "$top/scripts/racine-jetable" "$0" "$@"
fi
ici=tests/packages
paquets=build/packages
travail=$top/build/tests-packages
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/native/CMakeCache.txt)
deb=$paquets/il3-setup_${version}_amd64.deb
msi=$paquets/IL3_Setup-$version.msi
zip=$paquets/IL3_Setup-$version-win64.zip

reussis=0
echecs=0
ok() { reussis=$((reussis + 1)); }
echec() { echecs=$((echecs + 1)); echo "FAIL: $*"; }
# verifier DESCRIPTION COMMAND...: one check, its output shown when it fails.
verifier() {
  local quoi=$1 sortie
  shift
  if sortie=$("$@" 2>&1); then ok; else echec "$quoi"; printf '%s\n' "$sortie" | head -n 20; fi
}
egal() { [ "$1" = "$2" ] || { echo "attendu «$2», obtenu «$1»"; return 1; }; }

rm -rf "$travail"
mkdir -p "$travail"

# The options that --help names: the man page and the completion must offer each.
options_aide() { "$1" --help | grep -o -E -- '--[a-z][a-z-]+' | sort -u; }

tester_deb() {
  echo "-- .deb: contents"
  [ -f "$deb" ] || { echec "no $deb (run scripts/package.sh)"; return; }
  local contenu
  contenu=$(dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|')
  local attendus=(
    /usr/bin/il3-setup
    /usr/lib/il3-setup/il3-setup-window
    /usr/share/applications/il3-setup.desktop
    /usr/share/icons/hicolor/scalable/apps/il3-setup.svg
    /usr/share/man/man1/il3-setup.1.gz
    /usr/share/bash-completion/completions/il3-setup
    /usr/share/doc/il3-setup/copyright
    /usr/share/doc/il3-setup/changelog.gz
    /usr/share/il3-setup/rapport.schema.json
  )
  for s in 16 22 24 32 48 64 128 256; do attendus+=("/usr/share/icons/hicolor/${s}x$s/apps/il3-setup.png"); done
  for f in "${attendus[@]}"; do verifier "the .deb holds $f" grep -q -x -F "$f" <<<"$contenu"; done
  verifier "both programs are executable by all" egal \
    "$(dpkg-deb -c "$deb" | awk '$NF ~ /(bin\/il3-setup|il3-setup\/il3-setup-window)$/ {print $1}' | tr '\n' ' ')" "-rwxr-xr-x -rwxr-xr-x "
  verifier "the package has no maintainer script" \
    bash -c '! dpkg-deb -I "$1" | grep -q -E "^ +[0-9]+ bytes, +[0-9]+ lines .*(postinst|postrm|preinst|prerm|triggers)"' _ "$deb"
  verifier "Version is the project's" egal "$(dpkg-deb -f "$deb" Version)" "$version"
  verifier "Depends comes from the binaries (Qt Widgets, libc)" \
    grep -q -E 'libqt6widgets6.*libc6|libc6.*libqt6widgets6' <<<"$(dpkg-deb -f "$deb" Depends)"
  verifier "Recommends the Qt translations" egal "$(dpkg-deb -f "$deb" Recommends)" qt6-translations-l10n

  echo "-- .deb: lintian (tags allowed: $ici/lintian-admis)"
  local tags
  tags=$(lintian --allow-root -I -E --pedantic --tag-display-limit 0 "$deb" 2>&1 |
    sed -n -E 's/^[EWIXP]: il3-setup: ([^ ]+).*/\1/p' | sort -u)
  verifier "lintian reports only the tags the README justifies" \
    bash -c 'extra=$(comm -23 <(printf "%s\n" "$1" | sed "/^$/d") <(grep -v "^#" "$2" | sort -u)); [ -z "$extra" ] || { echo "$extra"; exit 1; }' _ "$tags" "$ici/lintian-admis"

  echo "-- .deb: installed with apt-get"
  if [ "${IL3_RACINE_JETABLE:-}" != 1 ]; then
    echo "skipped: the .deb is installed only in a throwaway root (scripts/racine-jetable)"
    return
  fi
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! sudo -n true 2>/dev/null; then
      echo "skipped: installing the .deb needs root (or sudo without a password)"
      return
    fi
    sudo=(sudo -n)
  fi
  if dpkg-query -W -f='${Status}' il3-setup 2>/dev/null | grep -q 'ok installed'; then
    echec "il3-setup is already installed on this machine: the test leaves it alone"
    return
  fi
  local apt=(apt-get -o DPkg::Lock::Timeout=600 -y -q --no-install-recommends)
  local simulation
  simulation=$(apt-get -s --no-install-recommends install "./$deb" 2>&1 | sed -n 's/^Inst \([^ ]*\).*/\1/p')
  if [ "$simulation" != il3-setup ]; then
    echec "apt-get would install more than il3-setup: $(echo $simulation)"
    return
  fi
  # dpkg's triggers rebuild these caches as the package comes and goes: they
  # must end as they began. A cache another package left stale is rebuilt
  # first, as the triggers would, or the comparison would blame ours.
  local caches=(/usr/share/applications/mimeinfo.cache /usr/share/icons/hicolor/icon-theme.cache)
  if command -v gtk-update-icon-cache >/dev/null && [ -e "${caches[1]}" ]; then
    "${sudo[@]}" gtk-update-icon-cache -f -q /usr/share/icons/hicolor
  fi
  if command -v update-desktop-database >/dev/null && [ -e "${caches[0]}" ]; then
    "${sudo[@]}" update-desktop-database -q /usr/share/applications
  fi
  local caches_avant
  caches_avant=$(sha256sum "${caches[@]}" 2>/dev/null)
  local journal=$travail/apt.log
  if ! "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive "${apt[@]}" install "./$deb" >"$journal" 2>&1; then
    echec "apt-get install ./$deb"
    tail -n 20 "$journal"
    return
  fi
  exercer_installe
  local avant apres
  avant=$(cd "$travail/site" && find . -type f -exec sha256sum {} + | sort)
  if ! "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive "${apt[@]}" remove il3-setup >>"$journal" 2>&1; then
    echec "apt-get remove il3-setup"
    tail -n 20 "$journal"
  fi
  apres=$(cd "$travail/site" && find . -type f -exec sha256sum {} + | sort)
  verifier "the menu and icon caches are as they were" egal "$(sha256sum "${caches[@]}" 2>/dev/null)" "$caches_avant"
  verifier "removing the package leaves the settings files as they were" egal "$apres" "$avant"
  verifier "removing the package removes both programs" \
    bash -c '! [ -e /usr/bin/il3-setup ] && ! [ -e /usr/lib/il3-setup ] && ! command -v il3-setup'
  verifier "the package is gone from dpkg" \
    bash -c '! dpkg-query -W -f="\${Status}" il3-setup 2>/dev/null | grep -q "ok installed"'
}

# The program as the package installed it.
exercer_installe() {
  verifier "il3-setup is on the PATH, in /usr/bin" egal "$(command -v il3-setup)" /usr/bin/il3-setup
  verifier "--version gives the project's version" egal "$(il3-setup --version)" "il3-setup $version"

  local site=$travail/site
  mkdir -p "$site/drive_c"
  verifier "a silent run into a scratch prefix" \
    il3-setup --silent --root "$site" --radio 'Radio Paquet' --station 1=Studio folders structural general
  for f in Config/Kv_Sys.ini Config/IL3_Systeme.ini Config/KV_Mus.ini Config/KV_Pub.ini Settings/IL3_Config.ini; do
    verifier "the silent run wrote $f" test -s "$site/drive_c/Kelvaro/Ilvane/$f"
  done
  verifier "ini get reads back the radio" egal \
    "$(il3-setup --root "$site" ini get 'C:\Kelvaro\Ilvane\Config\Kv_Sys.ini' Div_Radio Nom_Radio)" 'Radio Paquet'

  # il3-setup carries its C++ runtime, and maps no Qt: its window is a program of its own.
  local liens
  liens=$(ldd /usr/bin/il3-setup)
  verifier "il3-setup needs neither the C++ runtime's libraries nor Qt's" \
    bash -c '! grep -q -i -E "libstdc\+\+|libgcc_s|qt" <<<"$1"' _ "$liens"
  verifier "a headless run maps no Qt library" \
    bash -c 'log=$(LD_DEBUG=libs il3-setup --root "$1" ini get "C:\\Kelvaro\\Ilvane\\Config\\Kv_Sys.ini" Div_Radio Nom_Radio 2>&1 >/dev/null)
      grep -q "calling init: " <<<"$log" && ! grep -q -i "calling init: .*qt" <<<"$log"' _ "$site"

  # The menu entry's command, as a desktop starts it, opens the window: the
  # installed window program, which loads Qt.
  local entree=/usr/share/applications/il3-setup.desktop
  verifier "desktop-file-validate accepts the installed entry" bash -c '[ -z "$(desktop-file-validate "$1" 2>&1)" ]' _ "$entree"
  local exec_ icone
  exec_=$(sed -n 's/^Exec=//p' "$entree")
  icone=$(sed -n 's/^Icon=//p' "$entree")
  verifier "the entry's icon is in the hicolor theme" test -f "/usr/share/icons/hicolor/48x48/apps/$icone.png"
  local chargees
  chargees=$(cd "$site" && WINEPREFIX=$site QT_QPA_PLATFORM=offscreen IL3_QUITTER_APRES_AFFICHAGE=1 LD_DEBUG=files \
    timeout 60 $exec_ 2>&1 >/dev/null)
  verifier "the menu entry's command opens the window, which loads Qt" \
    grep -q 'file=libQt6Widgets.so.6 .*needed by' <<<"$chargees"
  local fenetre=/usr/lib/il3-setup/il3-setup-window
  if "${sudo[@]}" mv "$fenetre" "$fenetre.ailleurs"; then
    verifier "without the installed window program, il3-setup names it" \
      bash -c 'err=$(cd "$1" && WINEPREFIX=$1 QT_QPA_PLATFORM=offscreen timeout 60 il3-setup 2>&1); [ $? -eq 2 ] && grep -q -F "le programme $2 est introuvable" <<<"$err"' _ "$site" "$fenetre"
    "${sudo[@]}" mv "$fenetre.ailleurs" "$fenetre"
  else
    echec "$fenetre could not be moved aside"
  fi

  local aide
  aide=$(options_aide il3-setup)
  local manuel
  manuel=$(zcat /usr/share/man/man1/il3-setup.1.gz | sed 's/\\-/-/g')
  verifier "man finds the page" egal "$(man -w il3-setup 2>/dev/null)" /usr/share/man/man1/il3-setup.1.gz
  verifier "the man page renders without warnings" \
    bash -c '[ -z "$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$1" 2>&1 >/dev/null)" ]' _ /usr/share/man/man1/il3-setup.1.gz
  local completion=/usr/share/bash-completion/completions/il3-setup
  local offertes
  offertes=$(bash -c 'source "$1"; COMP_WORDS=(il3-setup --); COMP_CWORD=1; _il3_setup; printf "%s\n" "${COMPREPLY[@]}"' _ "$completion")
  for o in $aide; do
    verifier "the man page describes $o" grep -q -F -- "$o" <<<"$manuel"
    verifier "bash completion offers $o" grep -q -x -F -- "$o" <<<"$offertes"
  done
  # What follows a word decides what is offered.
  local cas=(
    "il3-setup --silent |folders structural general restore"
    "il3-setup --silent general st|structural"
    "il3-setup ini |get set del list merge"
    "il3-setup --station |1= 2= 3= 4= 5="
    "il3-setup --folder |0= 1= 2= 3= 4= 5="
  )
  for c in "${cas[@]}"; do
    local ligne=${c%%|*} attendu=${c#*|}
    verifier "completion of «$ligne»" egal "$(bash -c 'source "$1"; read -r -a COMP_WORDS <<<"$2"; [ "${2: -1}" = " " ] && COMP_WORDS+=(""); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _il3_setup; echo "${COMPREPLY[*]}"' _ "$completion" "$ligne")" "$attendu"
  done
}

# --- MSI ---------------------------------------------------------------------

prefixe=$travail/wine
z=$travail/z
wine_() { IL3_WINEPREFIX=$prefixe IL3_WINE_Z=$z "$top/scripts/wine-run" "$@"; }
msiexec_() { wine_ msiexec "$@" /qn; }
# The installed-programs entries of the product, one "name|version|publisher"
# a line, read from the prefix's registry once the server has written it.
entrees_arp() {
  WINEPREFIX=$prefixe wineserver -w
  awk '
    /^\[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\/ { dans = 1; n = ""; v = ""; p = ""; next }
    /^\[/ { if (dans && n != "") print n "|" v "|" p; dans = 0; next }
    dans && /^"DisplayName"=/ { n = $0; sub(/^"DisplayName"="/, "", n); sub(/"$/, "", n) }
    dans && /^"DisplayVersion"=/ { v = $0; sub(/^"DisplayVersion"="/, "", v); sub(/"$/, "", v) }
    dans && /^"Publisher"=/ { p = $0; sub(/^"Publisher"="/, "", p); sub(/"$/, "", p) }
  ' "$prefixe/system.reg" | grep '^IL3_Setup|' || true
}
# A string of the .exe's version resource: UTF-16 text, the name then its value,
# NUL-terminated and padded to 32 bits.
chaine_version() {
  iconv -f utf-16le -t utf-8 -c "$1" 2>/dev/null | tr '\0' '\n' | grep -a -A3 -E "$2\$" | sed 1d | grep -a -m1 .
}
raccourcis() { find "$prefixe/drive_c" -name "Installation d'Ilvane.lnk" | sed "s|^$prefixe/drive_c/||"; }

tester_msi() {
  echo "-- MSI under Wine (prefix $prefixe)"
  [ -f "$msi" ] || { echec "no $msi (run scripts/package.sh)"; return; }
  mkdir -p "$z"
  cp "$msi" "$z/ancien.msi"
  # The next version: the same program in an MSI with a higher version number.
  local suivante
  suivante=$(echo "$version" | awk -F. '{ printf "%d.%d.%d", $1, $2, $3 + 1 }')
  wixl -a x64 -I build/windows/packaging -D "Version=$suivante" -D "Exe=build/package-work/win64/IL3_Setup.exe" \
    -D "Com=build/package-work/win64/IL3_Setup.com" -D "Schema=packaging/schema/rapport.schema.json" \
    -D "Icone=build/windows/packaging/il3-setup.ico" \
    -o "$z/nouveau.msi" packaging/windows/il3_setup.wxs ||
    { echec "wixl: the next version's MSI"; return; }

  # The programs' version resources name what the MSI names.
  local wxi=build/windows/packaging/identite.wxi programme
  local paires=("CompanyName Editeur" "ProductName Produit" "LegalCopyright Copyright")
  for programme in IL3_Setup.exe IL3_Setup.com; do
    local exe=build/package-work/win64/$programme
    for p in "${paires[@]}"; do
      verifier "$programme's ${p% *} is the MSI's ${p#* }" egal "$(chaine_version "$exe" "${p% *}")" \
        "$(sed -n "s/.*define ${p#* } = \"\(.*\)\"?>/\1/p" "$wxi")"
    done
    for n in FileVersion ProductVersion; do
      verifier "$programme's $n is the project's" egal "$(chaine_version "$exe" $n)" "$version"
    done
  done
  verifier "the zip holds both programs and the read-me" \
    egal "$(unzip -Z1 "$zip" | sort | tr '\n' ' ')" "IL3_Setup.com IL3_Setup.exe LISEZMOI.txt rapport.schema.json "
  for programme in IL3_Setup.exe IL3_Setup.com; do
    verifier "the zip's $programme is the packaged one" \
      bash -c 'unzip -p "$1" "$2" | cmp - "$3"' _ "$zip" "$programme" "build/package-work/win64/$programme"
  done

  local app=$prefixe/drive_c/Kelvaro/Ilvane
  verifier "msiexec /i installs" msiexec_ /i 'Z:\ancien.msi'
  verifier "the .exe is in C:\\Kelvaro\\Ilvane\\, as packaged" cmp "$app/IL3_Setup.exe" build/package-work/win64/IL3_Setup.exe
  verifier "the .com beside it, as packaged" cmp "$app/IL3_Setup.com" build/package-work/win64/IL3_Setup.com
  verifier "the report's JSON Schema beside them" cmp "$app/rapport.schema.json" packaging/schema/rapport.schema.json
  verifier "one installed-programs entry, with version and publisher" egal "$(entrees_arp)" "IL3_Setup|$version|Kelvaro"
  verifier "the entry's icon is the .exe's" \
    bash -c 'f=$(sed -n "s/^\"ProductIcon\"=\"C:\\\\\\\\\(.*\)\"$/\1/p" "$1/system.reg" | sed "s|\\\\\\\\|/|g"); cmp "$1/drive_c/$f" "$2"' \
    _ "$prefixe" build/windows/packaging/il3-setup.ico
  verifier "a Start-menu shortcut" test -n "$(raccourcis)"
  verifier "the installed .exe runs --version" egal "$(wine_ 'C:\Kelvaro\Ilvane\IL3_Setup.exe' --version | tr -d '\r')" "IL3_Setup $version"
  # A prompt in the folder runs the .com for IL3_Setup, and the .com the .exe.
  verifier "cmd runs the installed IL3_Setup --version" \
    egal "$(wine_ cmd /c 'cd /d C:\Kelvaro\Ilvane && IL3_Setup --version' | tr -d '\r')" "IL3_Setup $version"
  verifier "the installed .exe runs a silent run" wine_ 'C:\Kelvaro\Ilvane\IL3_Setup.exe' --silent folders structural general
  verifier "the silent run wrote the site file next to the program" test -s "$app/Settings/IL3_Config.ini"
  local site
  site=$(cd "$app" && find Settings Config -type f -exec sha256sum {} + | sort)

  verifier "a newer MSI installs over it" msiexec_ /i 'Z:\nouveau.msi'
  verifier "the upgrade replaced the entry" egal "$(entrees_arp)" "IL3_Setup|$suivante|Kelvaro"
  verifier "the upgraded programs are in place" test -f "$app/IL3_Setup.exe" -a -f "$app/IL3_Setup.com"
  verifier "one shortcut after the upgrade" egal "$(raccourcis | wc -l)" 1
  verifier "an older MSI is refused over a newer one" bash -c '! "$@"' _ msiexec_ /i 'Z:\ancien.msi'
  verifier "the refused downgrade changed nothing" egal "$(entrees_arp)" "IL3_Setup|$suivante|Kelvaro"

  verifier "msiexec /x removes" msiexec_ /x 'Z:\nouveau.msi'
  verifier "the programs are gone" test ! -e "$app/IL3_Setup.exe" -a ! -e "$app/IL3_Setup.com"
  verifier "the shortcut is gone" egal "$(raccourcis)" ""
  verifier "no installed-programs entry is left" egal "$(entrees_arp)" ""
  verifier "the settings files the program wrote stay, unchanged" \
    egal "$(cd "$app" && find Settings Config -type f -exec sha256sum {} + | sort)" "$site"

  # INSTALLDIR chooses the folder; an upgrade without it stays there, where the
  # site file is.
  local autre=$prefixe/drive_c/Radio/Appli
  verifier "INSTALLDIR chooses the folder" msiexec_ /i 'Z:\ancien.msi' 'INSTALLDIR=C:\Radio\Appli\'
  verifier "the .exe and the .com are in C:\\Radio\\Appli\\" test -f "$autre/IL3_Setup.exe" -a -f "$autre/IL3_Setup.com"
  verifier "and not in the default folder" test ! -e "$app/IL3_Setup.exe"
  verifier "the upgrade without INSTALLDIR" msiexec_ /i 'Z:\nouveau.msi'
  verifier "stays in the chosen folder" bash -c 'test -f "$1/IL3_Setup.exe" && test ! -e "$2/IL3_Setup.exe"' _ "$autre" "$app"
  verifier "and replaces the entry" egal "$(entrees_arp)" "IL3_Setup|$suivante|Kelvaro"
  verifier "msiexec /x of the product removes it" msiexec_ /x 'Z:\nouveau.msi'
  verifier "from the chosen folder" test ! -e "$autre/IL3_Setup.exe" -a ! -e "$autre/IL3_Setup.com"
  WINEPREFIX=$prefixe wineserver -k 2>/dev/null || true
}

parts=("$@")
[ ${#parts[@]} -eq 0 ] && parts=(deb msi)
for p in "${parts[@]}"; do
  case $p in
    deb) tester_deb ;;
    msi) tester_msi ;;
    *) echo "usage: tests/packages/run.sh [deb|msi]..." >&2; exit 2 ;;
  esac
done
echo "packages: $reussis passed, $echecs failed"
[ "$echecs" -eq 0 ]
