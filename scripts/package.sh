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
cpack --config "$ROOT/build/win32/CPackConfig.cmake" -B "$ROOT/build"
# CPack's staging folder; the ZIP is all that is wanted.
rm -rf "$ROOT/build/_CPack_Packages"
