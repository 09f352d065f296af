#!/usr/bin/env bash
# Runs a command (a Windows test program under scripts/wine-run) on a virtual
# display (xvfb-run), which windows with controls need. --dpi=N first sets
# the screen's DPI in a wine prefix of its own for that DPI.
#   tests/win32/on_display.sh [--dpi=N] WINE-RUN PROGRAM.exe [ARGS...]
set -euo pipefail
dpi=""
case "${1:-}" in --dpi=*) dpi=${1#--dpi=}; shift ;; esac
export KS_WINE_KEEP_DISPLAY=1
if [ -n "$dpi" ]; then
  program=$2
  export WINEPREFIX="$(cd "$(dirname "$program")/.." && pwd)/wine/$(basename "$program" .exe)-${dpi}dpi"
  "$1" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
  # The next program starts wine afresh, on the display.
  wineserver -k 2>/dev/null || true
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
