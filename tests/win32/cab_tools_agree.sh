#!/usr/bin/env bash
# The Windows ksetup-tool.exe (under wine64) and the Linux ksetup-tool make
# the same cabinet from the same files and extract the same tree from it:
# the same bytes, last-write times and read-only bits, to a Unix-style and to
# a Windows-style destination path.
#   tests/win32/cab_tools_agree.sh LINUX_TOOL WINDOWS_TOOL.exe
set -euo pipefail
linux_tool=$(realpath "$1")
windows_tool=$(realpath "$2")
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
windows() { KS_WINE_ROOT="$work/wine" "$root/scripts/wine-run" "$windows_tool" "$@"; }
# What a tree holds: each entry's path, bytes, time and permission bits.
describe() {
  (cd "$1" && find . -mindepth 1 | sort | while read -r entry; do
    if [ -d "$entry" ]; then
      echo "$entry/"
    else
      echo "$entry $(sha256sum <"$entry" | cut -c1-16) $(stat -c '%Y %A' "$entry")"
    fi
  done)
}

mkdir -p "$work/files/plugins" "$work/linux" "$work/unix-style" "$work/windows-style"
printf 'Welcome to Kestrova.\n' >"$work/files/readme.txt"
head -c 300000 /dev/urandom >"$work/files/plugins/ftp.dll"
touch -d '2004-07-15 13:45:58' "$work/files/readme.txt"
touch -d '1999-12-31 23:59:58' "$work/files/plugins/ftp.dll"
chmod a-w "$work/files/readme.txt"

(cd "$work/files" &&
  "$linux_tool" cab create --mszip "$work/linux.cab" readme.txt 'plugins\ftp.dll=plugins/ftp.dll' &&
  windows cab create --mszip "$work/windows.cab" readme.txt 'plugins\ftp.dll=plugins/ftp.dll')
cmp "$work/linux.cab" "$work/windows.cab"

"$linux_tool" cab extract "$work/linux.cab" "$work/linux"
windows cab extract "$work/linux.cab" "$work/unix-style"
windows cab extract "Z:${work//\//\\}\\linux.cab" "Z:${work//\//\\}\\windows-style"
expected=$(describe "$work/linux")
echo "$expected"
for tree in unix-style windows-style; do
  if [ "$(describe "$work/$tree")" != "$expected" ]; then
    echo "cab_tools_agree: the Windows tool's $tree extraction differs:" >&2
    describe "$work/$tree" >&2
    exit 1
  fi
done
echo "cab_tools_agree: both tools made the same cabinet and extracted the same tree"
