#!/usr/bin/env bash
# kestrova-setup.exe as a Windows user runs it, under wine64 in a fresh
# prefix: an unattended Internet installation of the sample repository into a
# folder with a blank and a character beyond ASCII, with shortcuts; then the
# uninstall command exactly as the registry holds it.
#   tests/win32/unattended_install.sh SETUP.exe KSETUP-TOOL.exe
set -euo pipefail
setup=$(realpath "$1")
tool=$(realpath "$2")
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
server_pid=""
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export WINEPREFIX="$work/prefix"
wine() { "$root/scripts/wine-run" "$@"; }
fail() {
  echo "unattended_install: $*" >&2
  exit 1
}

repo="$work/repository"
mkdir -p "$repo"
exec 3< <(/usr/bin/python3 "$root/scripts/serve-folder" "$repo")
server_pid=$!
read -r port <&3
dead=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
"$root/scripts/sample-repository" "$repo" "$port" "$dead" wine "$tool"
export KESTROVA_VERSION_SERVERS="127.0.0.1:$port,127.0.0.1:$port"

install_dir='C:\Program Files\Kestrova T'$'\xc3\xa9''st'
wine "$setup" --unattended --mode=internet --components=all --desktop --programs \
  "--install-dir=$install_dir" '--download-dir=C:\Kestrova Setup' | tee "$work/out.txt"
for component in "Kestrova client" "Read me" "Help files"; do
  grep -q "^  $component: installed" "$work/out.txt" || fail "$component was not installed"
done

drive="$WINEPREFIX/drive_c"
installed="$drive/Program Files/Kestrova T"$'\xc3\xa9'"st"
for file in Kestrova.exe readme.txt plugins/sftp.dll help/manual.txt kestrova-setup.exe; do
  [ -f "$installed/$file" ] || fail "missing $file"
done
for link in "$drive"/users/*/Desktop/Kestrova.lnk \
  "$drive"/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/Kestrova/{Kestrova,Uninstall,ReadMe}.lnk; do
  [ "$(head -c 4 "$link" | od -An -tx1 | tr -d ' ')" = 4c000000 ] || fail "no shell link $link"
done

# reg.exe prints in the console's code page; its export is UTF-16.
uninstall_key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Kestrova'
wine reg export "$uninstall_key" 'C:\uninstall.reg' >/dev/null
exported=$(iconv -f UTF-16LE -t UTF-8 "$drive/uninstall.reg" | tr -d '\r' | grep '^"UninstallString"=')
echo "$exported"
escaped=${install_dir//\\/\\\\}
[ "$exported" = "\"UninstallString\"=\"\\\"$escaped\\\\kestrova-setup.exe\\\" -uninstall\"" ] ||
  fail "UninstallString"

# The program the command names, started from where it lies (with
# --unattended, as this build has no window).
wine "$install_dir\\kestrova-setup.exe" -uninstall --unattended | tee "$work/uninstall.txt"
grep -q "Application successfully uninstalled" "$work/uninstall.txt" || fail "not uninstalled"
[ ! -e "$installed/Kestrova.exe" ] || fail "Kestrova.exe stays"
compgen -G "$drive/users/*/AppData" >/dev/null || fail "the profile folder went"
compgen -G "$drive/users/*/Desktop/Kestrova.lnk" >/dev/null && fail "the desktop shortcut stays"
if wine reg query 'HKCU\Software\Kestrova' >/dev/null 2>&1; then fail "the product key stays"; fi
echo "unattended_install: installed and uninstalled under wine64"
