#!/bin/sh
# Builds quorvane.exe with the win32 preset and makes the release package
# build/quorvane-<version>-win32.zip with CPack: the program, the icon
# library and README.txt. Installs what is missing first.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
"$ROOT/scripts/setup.sh"
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target quorvane
# The same bytes from every clone of a commit: each entry dated with the
# commit's time (CPack takes SOURCE_DATE_EPOCH for every entry time), and
# ZIP's local DOS times read in UTC.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null || echo 0)
fi
export SOURCE_DATE_EPOCH
TZ=UTC cpack --config "$ROOT/build/win32/CPackConfig.cmake" -B "$ROOT/build"
# CPack's staging folder; the ZIP is all that is wanted.
rm -rf "$ROOT/build/_CPack_Packages"
