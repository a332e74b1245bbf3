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
  IL3_SOUS_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" sh "$0" "$wine_run" "$prefix" "$@"
fi
if [ -z "${DISPLAY:-}" ]; then
  echo "sous_xvfb.sh: no X display, and xvfb-run is not installed (package xvfb)" >&2
  exit 1
fi

IL3_WINEPREFIX=$prefix
export IL3_WINEPREFIX
# Whatever a previous run left of this prefix belongs to a display that is gone.
WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
# No window manager runs on this display: Wine places and frames the windows
# itself, instead of waiting for a manager that never answers.
if [ ! -f "$prefix/.il3-x11" ]; then
  "$wine_run" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 &&
    "$wine_run" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 &&
    WINEPREFIX=$prefix wineserver -w && touch "$prefix/.il3-x11"
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
