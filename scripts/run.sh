#!/bin/sh
# Builds quorvane.exe and starts it under Wine. Without a display it starts
# a virtual one, waits for the window, writes a screenshot and prints its
# path. Installs what is missing first.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
"$ROOT/scripts/setup.sh"
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target quorvane
EXE="$ROOT/build/win32/app/quorvane.exe"
echo "built $EXE"

if [ -n "${DISPLAY:-}" ]; then
    . "$ROOT/scripts/wine-env.sh"
    wine_prefix_ready
    exec wine "$EXE"
fi
"$ROOT/scripts/screenshot.sh" "$EXE" "$ROOT/build/screenshots/quorvane.png"
