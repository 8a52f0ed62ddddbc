#!/bin/sh
# Builds quorvane.exe and starts it under Wine. Without a display it starts
# a virtual one, waits for the window, writes a screenshot and prints its
# path. Installs what is missing first.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
"$ROOT/scripts/setup.sh"
# The 32-bit program, or its 64-bit build where no 32-bit code runs.
. "$ROOT/scripts/wine-env.sh"
cmake --preset "$QUORVANE_PRESET" >/dev/null
cmake --build --preset "$QUORVANE_PRESET" --target quorvane
EXE="$ROOT/build/$QUORVANE_PRESET/app/quorvane.exe"
echo "built $EXE"

if [ -n "${DISPLAY:-}" ]; then
    wine_prefix_ready
    exec wine "$EXE"
fi
"$ROOT/scripts/screenshot.sh" "$EXE" "$ROOT/build/screenshots/quorvane.png"
