#!/bin/sh
# Builds the benchmark programs and prints every figure of
# docs/benchmarks.md with its baseline from the same run: the real main
# window under Wine (repaint, first show, peak memory, start-up, the icon
# library at start-up and in idle time), the tree listings under Wine, and
# the JPEG codec natively against libjpeg-turbo's own tools.
#
# The Wine figures run on a private prefix (build/benchprefix) whose first
# fixed drive, B:, is a temporary folder: start-up fills its root with
# folders, and nothing of the machine's or the tests' prefixes is touched.
# Everything made is removed at the end.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
"$ROOT/scripts/setup.sh"

QUORVANE_WINEPREFIX=$ROOT/build/benchprefix
export QUORVANE_WINEPREFIX
# The 32-bit programs, or their 64-bit build where no 32-bit code runs.
. "$ROOT/scripts/wine-env.sh"
WIN=$QUORVANE_PRESET
cmake --preset host >/dev/null
cmake --build --preset host --target picture_bench >/dev/null
cmake --preset "$WIN" >/dev/null
cmake --build --preset "$WIN" --target window_bench tree_listing_bench quorvane >/dev/null
. "$ROOT/scripts/display.sh"
DRIVE=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-bench-drive.XXXXXX")
WORK=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-bench-work.XXXXXX")
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    rm -f "$WINEPREFIX/dosdevices/b:"
    rm -rf "$DRIVE" "$WORK"
    stop_display
}
trap cleanup EXIT
unset DISPLAY
ensure_display
wine_prefix_ready
# Wine takes A: and B: for floppy drives unless told otherwise.
wine reg add 'HKLM\Software\Wine\Drives' /v 'b:' /d hd /f >/dev/null 2>&1
wineserver -k >/dev/null 2>&1 || true
ln -sfn "$DRIVE" "$WINEPREFIX/dosdevices/b:"
wineserver -p
wine cmd /c exit >/dev/null 2>&1 </dev/null

bench=build/$WIN/bench/window_bench.exe
work=$(wine winepath -w "$WORK")\\
jpeg=${work}photo.jpg
djpeg=$(wine winepath -w "$ROOT/build/third_party/libjpeg-$WIN/bin/djpeg.exe")
icons=$(wine winepath -w "$ROOT/resources/Icons")\\

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'); $(wine --version)"
echo "Load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| Figure | Quorvane | Baseline (same run) | Ratio |"
echo "|---|---|---|---|"
# Wine's console ends lines with CR LF; the table keeps plain ones.
run() {
    wine "$@" >"$WORK/out"
    tr -d '\r' <"$WORK/out"
}
run "$bench" make "$work"
run "$bench" memory "$jpeg" 'B:\'
run "$bench" picture "$jpeg" "$djpeg"
run "$bench" picture-click "$jpeg" 'B:\'
run "$bench" panorama "${work}panorama.jpg"
run "$bench" startup 'B:\' "$icons" "$work"
run "$bench" iconfile "$work"
echo
echo "The icon library under Wine (the first drive empty):"
run "$bench" library "$icons" "$work"
run "$bench" library-memory idle "$icons" "$work"
run "$bench" library-memory all "$icons" "$work"
run "$bench" library-memory idle "$icons" "$work" 144 2000
run "$bench" launch "$(wine winepath -w "$ROOT/build/$WIN/app/quorvane.exe")" "$icons" "$work"
echo
echo "Tree listing under Wine:"
run build/$WIN/bench/tree_listing_bench.exe "$icons"
echo
echo "JPEG codec, native:"
build/host/bench/picture_bench 5 "$WORK/codec"
