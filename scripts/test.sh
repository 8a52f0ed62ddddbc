#!/bin/sh
# Builds and runs every test layer: the portable core natively, the same
# under AddressSanitizer and UndefinedBehaviorSanitizer, and the Windows
# tests (platform and GUI) under Wine on a virtual display. Installs what
# is missing first. Exits non-zero when anything fails.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
"$ROOT/scripts/setup.sh"

status=0
for preset in host host-asan win32; do
    echo "== build $preset"
    cmake --preset "$preset" -DQUORVANE_WERROR=ON >/dev/null
    cmake --build --preset "$preset" -- -k 0 || { status=1; continue; }
done
[ $status -eq 0 ] || { echo "build failed" >&2; exit 1; }

echo "== test host"
ctest --preset host || status=1
echo "== test host-asan"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --preset host-asan || status=1

echo "== test win32 (Wine)"
. "$ROOT/scripts/wine-env.sh"
. "$ROOT/scripts/display.sh"
trap 'wineserver -k >/dev/null 2>&1 || true; stop_display' EXIT
# Always a private virtual display with its window manager, also on a
# desktop: the GUI tests need known focus rules and must not pop up there.
unset DISPLAY
ensure_display
wine_prefix_ready
# One server and one set of Wine's own services for the whole run, started
# here with their output going nowhere: started by the first test instead,
# they would hold that test's output pipe open and stall CTest.
wineserver -p
wine cmd /c exit >/dev/null 2>&1 </dev/null
ctest --preset win32 || status=1

if [ $status -ne 0 ]; then echo "TESTS FAILED" >&2; else echo "ALL TESTS PASSED"; fi
exit $status
