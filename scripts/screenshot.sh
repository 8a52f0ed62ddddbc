#!/bin/sh
# Starts quorvane.exe under Wine, waits for its main window and writes a
# PNG of it. Usage: screenshot.sh EXE OUTPUT.png [WIDTHxHEIGHT]
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
EXE=$1
OUT=$2
SIZE=${3:-}
. "$ROOT/scripts/wine-env.sh"
. "$ROOT/scripts/display.sh"
ensure_display
wine_prefix_ready

wine "$EXE" >/dev/null 2>&1 &
APP=$!
WINDOW=$(timeout 60 xdotool search --sync --onlyvisible --name '^Quorvane 0\.3' | head -n 1)
if [ -n "$SIZE" ]; then
    xdotool windowsize "$WINDOW" "${SIZE%x*}" "${SIZE#*x}"
fi
sleep 2  # let the window finish its first paint
mkdir -p "$(dirname "$OUT")"
import -window "$WINDOW" -frame "$OUT" 2>/dev/null || import -window root "$OUT"
kill "$APP" 2>/dev/null || true
wineserver -k >/dev/null 2>&1 || true
stop_display
echo "$OUT"
