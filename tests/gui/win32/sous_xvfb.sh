#!/bin/sh
# Runs a Windows test program under Wine on an X display of its own: a private
# Xvfb, so that the tests need no desktop (CI has none) and no window of a
# person's session gets in the way. Without Xvfb, the DISPLAY given is used.
#
#   sous_xvfb.sh WINE-RUN PREFIX PROGRAM [ARGS...]
#
# PREFIX is a Wine prefix for this test alone: the prefix's server and desktop
# belong to the display they started on, and are ended here with it. The
# screenshots the program leaves as BMP are converted to PNG when ImageMagick
# is there. The program's exit status is ours.
set -u
wine_run=$1
prefix=$2
shift 2

if [ -z "${IL3_SOUS_XVFB:-}" ] && command -v xvfb-run >/dev/null 2>&1; then
  # In the tests' sandbox (scripts/bac-a-sable) /tmp is read-only: no lock file,
  # the display being the sandbox's own.
  verrou=
  [ -w /tmp ] || verrou=" -nolock"
  IL3_SOUS_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp$verrou" sh "$0" "$wine_run" "$prefix" "$@"
fi
if [ -z "${DISPLAY:-}" ]; then
  echo "sous_xvfb.sh: no X display, and xvfb-run is not installed (package xvfb)" >&2
  exit 1
fi

IL3_WINEPREFIX=$prefix
export IL3_WINEPREFIX
# Wine's own dialogs (the folder browser, the message boxes' buttons) in
# French, as on the Windows the suite runs on: a French locale of our own,
# built beside the prefix, since the host may have none.
locales=$prefix.locales
if [ ! -d "$locales/fr_FR.UTF-8" ] && command -v localedef >/dev/null 2>&1; then
  mkdir -p "$locales" && localedef -i fr_FR -f UTF-8 "$locales/fr_FR.UTF-8" >/dev/null 2>&1
fi
if [ -d "$locales/fr_FR.UTF-8" ]; then
  LOCPATH=$locales IL3_WINE_LOCALE=fr_FR.UTF-8
  export LOCPATH IL3_WINE_LOCALE
fi
# Whatever a previous run left of this prefix belongs to a display that is gone.
WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
# No window manager runs on this display: Wine places and frames the windows
# itself, instead of waiting for a manager that never answers. IL3_WINE_DPI
# sets the screen's dpi, as the display settings of Windows do.
dpi=${IL3_WINE_DPI:-96}
if [ "$(cat "$prefix/.il3-x11" 2>/dev/null)" != "dpi=$dpi" ]; then
  "$wine_run" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 &&
    "$wine_run" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 &&
    "$wine_run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 &&
    WINEPREFIX=$prefix wineserver -w && echo "dpi=$dpi" > "$prefix/.il3-x11"
fi
"$wine_run" "$@"
status=$?
WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1

if command -v convert >/dev/null 2>&1; then
  for bmp in "$(dirname "$1")"/*.bmp; do
    [ -f "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
  done
fi
exit $status
