#!/usr/bin/env bash
# The same inputs through il3-setup on Linux and through IL3_Setup.exe under Wine
# (where the Windows profile functions write): the files must be byte-identical,
# on a first run, on a second run over files a site has edited, and through
# --update runs that move the layout on over a value tuned by hand.
# Usage: run.sh NATIVE_BUILD_DIR WIN_BUILD_DIR
set -euo pipefail
top="$(cd "$(dirname "$0")/../../.." && pwd)"
linux=$(find "$1" -type f -name il3-setup -perm -u+x | head -n 1)
windows=$(find "$2" -type f -name IL3_Setup.exe | head -n 1)
[ -n "$linux" ] && [ -n "$windows" ] || { echo "parity: il3-setup or IL3_Setup.exe not built" >&2; exit 2; }

export IL3_WINEPREFIX="${IL3_PARITY_PREFIX:-${TMPDIR:-/tmp}/il3-parity-wine-$(id -u)}"
wine_run="$top/scripts/wine-run"
"$wine_run" cmd /c exit 0 >/dev/null 2>&1 || true
# Windows XP's version class, so that both programs also write the Win.ini pointer.
"$wine_run" reg add 'HKCU\Software\Wine' /v Version /d winxp /f >/dev/null 2>&1
wineserver_wait() { WINEPREFIX="$IL3_WINEPREFIX" wineserver -w; }
wineserver_wait

work=$(mktemp -d "${TMPDIR:-/tmp}/il3-parity.XXXXXX")
trap 'rm -rf "$work"; rm -rf "$IL3_WINEPREFIX"/drive_c/il3-parity-*' EXIT
wdrive="$IL3_WINEPREFIX/drive_c"
fails=0

files() {  # the Windows-relative paths of the files of scenario $1
  for f in App/Settings/IL3_Config.ini Config/Kv_Sys.ini Config/IL3_Systeme.ini Config/KV_Mus.ini Config/KV_Pub.ini; do
    echo "il3-parity-$1/$f"
  done
}

compare() {  # scenario, stage
  local f before=$fails
  for f in $(files "$1") windows/win.ini; do
    if ! cmp -s "$work/linux-$1/drive_c/$f" "$wdrive/$f"; then
      echo "FAIL $1 $2: $f differs"
      diff <(tr -d '\r' < "$work/linux-$1/drive_c/$f" 2>/dev/null) <(tr -d '\r' < "$wdrive/$f" 2>/dev/null) | head -5
      fails=$((fails + 1))
    fi
  done
  [ "$fails" -eq "$before" ] && echo "ok   $1 $2: $(files "$1" | wc -l) files and Win.ini identical"
  return 0
}

run_both() {  # scenario, then the program's arguments after the common ones
  local s=$1
  shift
  local base="C:\\il3-parity-$s\\"
  local common=(--silent --app-dir "${base}App\\" --folder "0=${base}App\\" --folder "1=${base}Config\\"
                --folder "2=${base}Log\\" --folder "3=${base}Log\\Pub\\" --folder "4=${base}Sons\\" --folder "5=${base}Data\\")
  "$linux" --root "$work/linux-$s" "${common[@]}" "$@" >/dev/null
  "$wine_run" "$windows" "${common[@]}" "$@" >/dev/null
}

# The same hand edits on both sides: a tuned value, a deleted key, a comment, an unknown key.
edit() {  # scenario
  local f
  for f in "$work/linux-$1/drive_c/il3-parity-$1/Config/KV_Mus.ini" "$wdrive/il3-parity-$1/Config/KV_Mus.ini"; do
    sed -i -e 's/^Puissance_03=Normal\r$/Puissance_03=Fort\r/' -e '/^Couleur_02=/d' \
      -e 's/^Style_02=Eighties\r$/; r\xe9glage du site\r\nMaCle=1\r\nStyle_02=Eighties\r/' "$f"
  done
  for f in "$work/linux-$1/drive_c/il3-parity-$1/Config/Kv_Sys.ini" "$wdrive/il3-parity-$1/Config/Kv_Sys.ini"; do
    sed -i -e '/^REPVOIX=/d' -e 's/^USER=ZQ\r$/USER=AB\r/' "$f"
  done
}

for scenario in "0:" "1:--station 1=Nord" "5:--station 1=Nord --station 2=Sud --station 3=Est --station 4=Ouest --station 5=Centre"; do
  n=${scenario%%:*}
  read -r -a stations <<< "${scenario#*:}"
  # --station arguments are of the form 1=Nord; rebuild them as pairs.
  args=()
  for ((i = 0; i < ${#stations[@]}; i += 2)); do args+=("${stations[i]}" "${stations[i+1]}"); done
  s="n$n"
  mkdir -p "$work/linux-$s/drive_c/windows"
  cp "$wdrive/windows/win.ini" "$work/linux-$s/drive_c/windows/win.ini"
  run_both "$s" --radio "Radio Été" --guid "G-$n" "${args[@]}" folders structural general
  wineserver_wait
  compare "$s" "first run"
  edit "$s"
  grep -q '^MaCle=1' "$wdrive/il3-parity-$s/Config/KV_Mus.ini" || { echo "FAIL $s: the hand edits did not apply"; fails=$((fails + 1)); }
  run_both "$s" --radio "Autre" structural general
  wineserver_wait
  compare "$s" "second run"
  [ "$n" = 0 ] && continue
  # The tune goes through one engine on both sides, so that only --update can tell them apart.
  base="C:\\il3-parity-$s\\"
  kv="${base}Config\\Kv_Sys.ini"
  for root in "$work/linux-$s" "$IL3_WINEPREFIX"; do
    "$linux" --root "$root" ini set "$kv" Repertoire_Station_001 JIN_00 'O,D:\Jingles\' >/dev/null
  done
  run_both "$s" --update --radio "Radio Sud FM" --station 1=Nord --station 2=Antenne --folder "4=${base}Sons2\\" structural general
  wineserver_wait
  compare "$s" "layout change"
  run_both "$s" --update --station 2= general
  wineserver_wait
  compare "$s" "station removal"
  jin=$("$linux" --root "$work/linux-$s" ini get "$kv" Repertoire_Station_001 JIN_00)
  radio=$("$linux" --root "$work/linux-$s" ini get "$kv" Div_Radio Nom_Radio)
  if [ "$jin" = 'O,D:\Jingles\' ] && [ "$radio" = "Radio Sud FM" ]; then
    echo "ok   $s --update: the tuned JIN_00 stayed, Nom_Radio follows the field"
  else
    echo "FAIL $s --update: JIN_00=$jin Nom_Radio=$radio"; fails=$((fails + 1))
  fi
done

[ "$fails" -eq 0 ] && echo "parity: Linux and Windows builds wrote identical files" || { echo "parity: $fails differences"; exit 1; }
