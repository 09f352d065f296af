#!/usr/bin/env bash
# Runs the wizard test program under wine64 on a virtual display, beside the
# download tests' peers, in a fresh wine prefix that goes afterwards.
#   tests/win32/wizard_gui.sh WIN32_WIZARD_GUI_TEST.exe KESTROVA-SETUP.exe
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
cleanup() {
  WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export WINEPREFIX="$work/prefix" KS_WINE_KEEP_DISPLAY=1
xvfb-run -a -s "-screen 0 1024x768x24" \
  /usr/bin/python3 "$root/tests/win32/with_peers.py" "$root/scripts/wine-run" "$@"
