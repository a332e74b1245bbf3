#!/usr/bin/env bash
# The report on Windows: IL3_Setup.exe under Wine (its writes through the Windows
# profile functions) and il3-setup on the same prefix must give the same --check
# --json document; the Windows check writes nothing, and the real run after it
# reports exactly what the check said. Over a fresh site, a full one, one
# with deleted keys and edited values, and a layout change (--update) over a tuned value.
# Usage: run.sh NATIVE_BUILD_DIR WIN_BUILD_DIR
set -euo pipefail
top="$(cd "$(dirname "$0")/../../.." && pwd)"
linux=$(find "$1" -type f -name il3-setup -perm -u+x | head -n 1)
windows=$(find "$2" -type f -name IL3_Setup.exe | head -n 1)
[ -n "$linux" ] && [ -n "$windows" ] || { echo "report: il3-setup or IL3_Setup.exe not built" >&2; exit 2; }

export IL3_WINEPREFIX="${IL3_REPORT_PREFIX:-${TMPDIR:-/tmp}/il3-report-wine-$(id -u)}"
wine_run="$top/scripts/wine-run"
"$wine_run" cmd /c exit 0 >/dev/null 2>&1 || true
# Windows XP's version class, so that both programs also write the Win.ini pointer.
"$wine_run" reg add 'HKCU\Software\Wine' /v Version /d winxp /f >/dev/null 2>&1
WINEPREFIX="$IL3_WINEPREFIX" wineserver -w
drive="$IL3_WINEPREFIX/drive_c"
trap 'rm -rf "$drive/il3-report"' EXIT
rm -rf "$drive/il3-report"
fails=0
check() {  # description, expected, actual
  if [ "$2" = "$3" ]; then echo "ok   $1"; else echo "FAIL $1"; diff <(echo "$2") <(echo "$3") | head -8; fails=$((fails + 1)); fi
}
# A check makes no backup: what may differ from the real run is named here.
without_check() {
  python3 -c 'import json,sys
d = json.loads(sys.stdin.read())
d["check"] = None
for f in d["files"]: f["backup"] = None
print(json.dumps(d, ensure_ascii=False, indent=1))'
}
tree() { { find "$drive/il3-report" "$drive/windows/win.ini" -printf '%p %s %T@\n' 2>/dev/null || true; } | sort | md5sum; }

base='C:\il3-report\'
site=(--silent --json --app-dir "${base}App\\" --folder "0=${base}App\\" --folder "1=${base}Config\\"
      --folder "2=${base}Log\\" --folder "3=${base}Log\\Pub\\" --folder "4=${base}Sons\\" --folder "5=${base}Data\\"
      --guid G-1 --station 1=Nord --station 2=Sud)
actions=(folders structural general)
args=("${site[@]}" --radio "Radio Été" "${actions[@]}")
on_windows() { "$wine_run" "$windows" "$@" | tr -d '\r'; WINEPREFIX="$IL3_WINEPREFIX" wineserver -w; }

stage() {  # state, then the arguments; leaves the real run's document in real_doc
  local state=$1 before linux_doc windows_doc
  shift
  before=$(tree)
  linux_doc=$("$linux" --root "$IL3_WINEPREFIX" "$@" --check)
  windows_doc=$(on_windows "$@" --check)
  check "$state: the same --check --json document from both programs" "$linux_doc" "$windows_doc"
  printf '%s' "$windows_doc" | "$top/tests/support/valider-json" >/dev/null || { echo "FAIL $state: off the schema"; fails=$((fails + 1)); }
  check "$state: the Windows check wrote nothing" "$before" "$(tree)"
  real_doc=$(on_windows "$@" --backup)
  check "$state: the Windows run did what its check said" "$(without_check <<<"$windows_doc")" "$(without_check <<<"$real_doc")"
}

for state in "fresh site" "full site" "deleted keys and edited values"; do
  if [ "$state" = "deleted keys and edited values" ]; then
    sed -i -e '/^REPVOIX=/d' -e 's/^USER=ZQ\r$/USER=AB\r/' "$drive/il3-report/Config/Kv_Sys.ini"
    sed -i -e 's/^GUID=.*\r$/GUID=ancien\r/' "$drive/il3-report/App/Settings/IL3_Config.ini"
  fi
  stage "$state" "${args[@]}"
done
backup=$(python3 -c 'import json,sys; print([f["backup"] for f in json.load(sys.stdin)["files"] if f["path"].endswith("Kv_Sys.ini")][0])' <<<"$real_doc")
case "$backup" in 'C:\il3-report\Config\Kv_Sys.ini.'*.bak) echo "ok   the Windows run kept a backup: $backup";;
  *) echo "FAIL no backup named: $backup"; fails=$((fails + 1));; esac
check "the backup lacks the deleted key, as the file did" 0 "$(grep -c '^REPVOIX=' "$drive/il3-report/Config/${backup##*\\}")"
check "the full site's report is empty" "False" "$(on_windows "${args[@]}" --check | python3 -c 'import json,sys; print(json.load(sys.stdin)["changed"])')"
# The status that says "would change", on Windows too: 0 on the full site, 3 once it would change.
rc0=0 rc3=0
"$wine_run" "$windows" "${args[@]}" --check --detailed-exitcode >/dev/null || rc0=$?
"$wine_run" "$windows" "${args[@]}" --check --detailed-exitcode --guid G-autre >/dev/null || rc3=$?
check "--detailed-exitcode under Wine: 0, then 3" "0 3" "$rc0 $rc3"
# A tuned value, so that the documents also carry a kept entry.
"$linux" --root "$IL3_WINEPREFIX" ini set "${base}Config\\Kv_Sys.ini" Repertoire_Station_001 JIN_00 'O,D:\Jingles\' >/dev/null
stage "renamed, without --update" "${site[@]}" --radio "Radio Sud Nord" "${actions[@]}"
check "renamed, without --update: the Windows run ends with the warning" "warning" \
  "$(python3 -c 'import json,sys; print(json.load(sys.stdin)["messages"][-1]["kind"])' <<<"$real_doc")"
stage "layout change" "${site[@]}" --update --radio "Radio Sud FM" --station 3=Est "${actions[@]}"
check "layout change: the tuned JIN_00 is reported kept" 'O,D:\Jingles\' \
  "$(python3 -c 'import json,sys; print(*[k["stored"] for k in json.load(sys.stdin)["kept"] if k["key"] == "JIN_00" and k["tuned"]])' <<<"$real_doc")"
out=$(on_windows '/?')
case "$out" in *--check*) echo "ok   IL3_Setup.exe /? shows the help";; *) echo "FAIL /? shows no help: $out"; fails=$((fails + 1));; esac

[ "$fails" -eq 0 ] && echo "report: both programs agree" || { echo "report: $fails failed"; exit 1; }
