#!/usr/bin/env bash
# IL3_Setup.exe's saves under Wine, where the Windows profile functions write:
# two general runs at once lose nothing, a run killed at any moment leaves each
# file old or new (once the next run has put its copy back), and a FIFO or a
# device where a settings file should be is refused with a French reason.
# IL3_PAIRES and IL3_COUPURES set the number of pairs (10) and kills (100).
# Usage: run.sh NATIVE_BUILD_DIR WIN_BUILD_DIR
set -uo pipefail
top="$(cd "$(dirname "$0")/../../.." && pwd)"
windows=$(find "$2" -type f -name IL3_Setup.exe | head -n 1)
[ -n "$windows" ] || { echo "save: IL3_Setup.exe not built" >&2; exit 2; }
paires="${IL3_PAIRES:-10}"
coupures="${IL3_COUPURES:-100}"

export IL3_WINEPREFIX="${IL3_SAVE_PREFIX:-${TMPDIR:-/tmp}/il3-save-wine-$(id -u)}"
wine_run="$top/scripts/wine-run"
"$wine_run" cmd /c exit 0 >/dev/null 2>&1 || true
WINEPREFIX="$IL3_WINEPREFIX" wineserver -w
drive="$IL3_WINEPREFIX/drive_c"
work=$(mktemp -d "${TMPDIR:-/tmp}/il3-save.XXXXXX")
trap 'rm -rf "$work" "$drive/il3-save"' EXIT
rm -rf "$drive/il3-save"
fails=0
check() {  # description, expected, actual
  if [ "$2" = "$3" ]; then echo "ok   $1"; else echo "FAIL $1: expected [$2], got [$3]"; fails=$((fails + 1)); fi
}
contains() {  # description, needle, haystack
  case "$3" in *"$2"*) echo "ok   $1";; *) echo "FAIL $1: [$2] not in [$3]"; fails=$((fails + 1));; esac
}

base='C:\il3-save\'
cfg="$drive/il3-save/Config"
files="Kv_Sys.ini IL3_Systeme.ini KV_Mus.ini KV_Pub.ini"
exe() { "$wine_run" "$windows" "$@"; }
general() { exe --silent --app-dir "${base}App\\" general; }
exe --silent --app-dir "${base}App\\" --folder "0=${base}App\\" --folder "1=${base}Config\\" --folder "2=${base}Log\\" \
  --folder "3=${base}Log\\Pub\\" --folder "4=${base}Sons\\" --folder "5=${base}Data\\" --station 1=Nord --station 2=Sud \
  folders structural general >/dev/null
# One key line in seven taken away, so that every run has work in every file.
mkdir "$work/old" "$work/new" "$work/fresh"
for f in $files; do
  awk '/=/ { if (++n % 7 == 0) next } { print }' "$cfg/$f" >"$work/old/$f"
done
reset() { rm -f "$cfg"/*; cp "$work/old"/* "$cfg/"; }
# A run's length: the shortest of three, the machine may be busy.
run_ms=
for i in 1 2 3; do
  reset
  start=$(date +%s%N); general >/dev/null; ms=$(( ($(date +%s%N) - start) / 1000000 ))
  [ -n "$run_ms" ] && [ "$run_ms" -le "$ms" ] || run_ms=$ms
done
cp "$cfg"/*.ini "$work/new/"
rm -f "$cfg"/*; general >/dev/null; cp "$cfg"/*.ini "$work/fresh/"
for f in $files; do
  cmp -s "$work/old/$f" "$work/new/$f" && { echo "FAIL $f: a run would not change it"; fails=$((fails + 1)); }
done
same_as() {  # reference folder: the settings files that differ from it
  local f out=""
  for f in $files; do cmp -s "$cfg/$f" "$1/$f" || out="$out $f($(stat -c %s "$cfg/$f" 2>/dev/null || echo absent))"; done
  echo "${out# }"
}
# What a killed run left but the settings files themselves.
leftovers() { find "$cfg" -mindepth 1 -maxdepth 1 ! -name '*.ini' | wc -l; }
echo "     one general run takes $run_ms ms under Wine"

# Two general runs at once on one site: the second finds the first's keys, and
# every file is the one a single run makes.
whole=0; statuses=""
for i in $(seq 1 "$paires"); do
  reset
  general >/dev/null 2>&1 & a=$!
  general >/dev/null 2>&1 & b=$!
  wait $a; ra=$?; wait $b; rb=$?
  statuses="$statuses$ra$rb"
  lost=$(same_as "$work/new")
  [ -z "$lost" ] && whole=$((whole + 1)) || echo "     pair $i: differs from one run: $lost"
done
echo "     $whole of $paires pairs lost nothing"
check "two concurrent general runs, $paires pairs: pairs that lost something" 0 $((paires - whole))
check "both runs of every pair exited 0" "$(printf '0%.0s' $(seq 1 $((2 * paires))))" "$statuses"
check "no leftover after the pairs" 0 "$(leftovers)"

# Kills at random moments of a run, from the program's start to a little past
# its end. What counts is the file the next command reads: a copy left beside
# it is put back first, a "new file" mark means that there was no file.
start=$(date +%s%N); exe --version >/dev/null; startup_ms=$(( ($(date +%s%N) - start) / 1000000 ))
span=$(( run_ms > startup_ms ? run_ms - startup_ms + run_ms / 10 : 1 ))
kill_runs() {  # count, old folder (empty: no files before the run), new folder
  local i f seen delay
  for i in $(seq 1 "$1"); do
    rm -f "$cfg"/*; [ -z "$2" ] || cp "$2"/* "$cfg/"
    # Not through a function: $! must be the Wine process itself, not a subshell.
    "$wine_run" "$windows" --silent --app-dir "${base}App\\" general >/dev/null 2>&1 &
    pid=$!
    delay=$(( startup_ms + (RANDOM * 32768 + RANDOM) % span ))
    sleep "$(printf '%d.%03d' $((delay / 1000)) $((delay % 1000)))"
    kill -KILL $pid 2>/dev/null
    wait $pid 2>/dev/null
    kills=$((kills + 1))
    for f in $files; do
      seen="$cfg/$f"
      if [ -e "$cfg/$f.il3-journal" ]; then seen="$cfg/$f.il3-journal"; pending=$((pending + 1))
      elif [ -e "$cfg/$f.il3-nouveau" ]; then seen=/nonexistent; pending=$((pending + 1)); fi
      if [ -z "$2" ] && [ ! -e "$seen" ]; then as_old=$((as_old + 1))
      elif [ ! -s "$seen" ]; then empty=$((empty + 1)); echo "     kill $i: $f empty or missing"
      elif [ -n "$2" ] && cmp -s "$seen" "$2/$f"; then as_old=$((as_old + 1))
      elif cmp -s "$seen" "$3/$f"; then as_new=$((as_new + 1))
      else torn=$((torn + 1)); echo "     kill $i: $f torn ($(stat -c %s "$cfg/$f") bytes)"; fi
    done
    # Every tenth kill, a check first: it reads every file, so it puts the copies back, and writes nothing else.
    if [ $((i % 10)) -eq 0 ]; then
      exe --silent --check --app-dir "${base}App\\" general >/dev/null 2>&1
      for f in $files; do
        if [ -z "$2" ] && [ ! -e "$cfg/$f" ]; then continue; fi
        cmp -s "$cfg/$f" "${2:-/nonexistent}/$f" || cmp -s "$cfg/$f" "$3/$f" ||
          { torn=$((torn + 1)); echo "     kill $i: $f neither old nor new after a check"; }
      done
      debris=$((debris + $(leftovers)))
    fi
    general >/dev/null 2>&1 || echo "     kill $i: the next run failed"
    lost=$(same_as "$3")
    [ -z "$lost" ] || { rerun=$((rerun + 1)); echo "     kill $i: after the next run, differs from one run: $lost"; }
    debris=$((debris + $(leftovers)))
  done
}
kills=0; empty=0; torn=0; as_old=0; as_new=0; pending=0; rerun=0; debris=0
started=$(date +%s)
kill_runs "$coupures" "$work/old" "$work/new"
kill_runs $((coupures / 10)) "" "$work/fresh"  # into an empty folder: the files are new
echo "     kills: $kills in $(( $(date +%s) - started )) s (each $startup_ms to $((startup_ms + span)) ms after the start)," \
     "files old $as_old, new $as_new, with a copy or mark to put back $pending; empty or torn files: $((empty + torn))"
check "kills: empty files" 0 "$empty"
check "kills: torn files" 0 "$torn"
check "kills: files not those of one run after the next run" 0 "$rerun"
check "kills: leftovers after the next runs" 0 "$debris"

# What a killed run leaves, read back at once by the next command: the old
# file put back, the half-made new file removed, an unfinished copy dropped.
reset
printf '[S]\r\nk=vieux\r\n' >"$cfg/Repris.ini.il3-journal"; printf '[S]\r\nk=coup' >"$cfg/Repris.ini"
printf '[S]\r\nk=moiti' >"$cfg/Nouveau.ini"; : >"$cfg/Nouveau.ini.il3-nouveau"
printf '[S]\r\nk=garde\r\n' >"$cfg/Garde.ini"; printf '[S]\r\nk=ga' >"$cfg/Garde.ini.il3-copie"
check "ini get reads the file put back" vieux "$(exe ini get "${base}Config\\Repris.ini" S k | tr -d '\r')"
check "the file put back is the old one, byte for byte" "$(printf '[S]\r\nk=vieux\r\n')" "$(cat "$cfg/Repris.ini")"
exe ini get "${base}Config\\Nouveau.ini" S k >/dev/null 2>&1
check "the half-made new file is gone" no "$([ -e "$cfg/Nouveau.ini" ] && echo yes || echo no)"
check "ini get reads past an unfinished copy" garde "$(exe ini get "${base}Config\\Garde.ini" S k | tr -d '\r')"
check "nothing is left beside them" 0 "$(leftovers)"

# A FIFO or a device where a settings file should be: refused, named, and left as it is.
reset
mkfifo "$cfg/Tube.ini"
ln -s /dev/null "$cfg/Vide.ini"
for target in 'Tube.ini:un tube nommé (FIFO) porte ce nom, pas un fichier' \
              'Vide.ini:un périphérique porte ce nom, pas un fichier' \
              'NUL:un périphérique porte ce nom, pas un fichier'; do
  name=${target%%:*}
  out=$(timeout 60 "$wine_run" "$windows" ini set "${base}Config\\$name" S k v 2>&1); rc=$?
  check "ini set into $name exits 1" 1 "$rc"
  contains "ini set into $name says why" "${target#*:}" "$out"
done
check "the FIFO stays a FIFO" yes "$([ -p "$cfg/Tube.ini" ] && echo yes)"
rm -f "$cfg/KV_Pub.ini"; mkfifo "$cfg/KV_Pub.ini"
out=$(timeout 60 "$wine_run" "$windows" --silent --app-dir "${base}App\\" general 2>&1); rc=$?
check "a general run with a FIFO for KV_Pub.ini exits 1" 1 "$rc"
contains "and names the FIFO" "KV_Pub.ini" "$(grep -a 'tube nommé' <<<"$out")"
for f in Kv_Sys.ini IL3_Systeme.ini KV_Mus.ini; do
  check "$f is written whole beside the FIFO" "" "$(cmp -s "$cfg/$f" "$work/new/$f" || echo differs)"
done

WINEPREFIX="$IL3_WINEPREFIX" wineserver -w
[ "$fails" -eq 0 ] && echo "save: all passed" || { echo "save: $fails failed"; exit 1; }
