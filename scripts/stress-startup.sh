#!/bin/sh
# Starts the real quorvane.exe again and again, each time on a freshly
# started wineserver, as a user starts it, and checks from outside
# (startup_probe.exe) that every start came up whole: the tree holds the
# drive roots and the path box names the first fixed drive. Prints every
# failure with Wine's trace of that start. A tool, not a test.
#
#   scripts/stress-startup.sh [-n STARTS] [--busy]
#
# --busy keeps the machine busy meanwhile with a parallel build of the
# portable core, started over and over. Runs on a prefix of its own
# (build/stressprefix). Exits non-zero when any start failed.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"

STARTS=200
BUSY=
while [ $# -gt 0 ]; do
    case "$1" in
    -n) STARTS=$2; shift 2 ;;
    --busy) BUSY=1; shift ;;
    *) echo "usage: $0 [-n STARTS] [--busy]" >&2; exit 2 ;;
    esac
done

"$ROOT/scripts/setup.sh"
QUORVANE_WINEPREFIX=$ROOT/build/stressprefix
export QUORVANE_WINEPREFIX
# The 32-bit program, or its 64-bit build where no 32-bit code runs.
. "$ROOT/scripts/wine-env.sh"
cmake --preset "$QUORVANE_PRESET" >/dev/null
cmake --build --preset "$QUORVANE_PRESET" --target quorvane startup_probe >/dev/null
. "$ROOT/scripts/display.sh"
LOGS=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-stress.XXXXXX")
LOAD_PID=
cleanup() {
    [ -n "$LOAD_PID" ] && kill -- "-$LOAD_PID" 2>/dev/null || true
    wineserver -k >/dev/null 2>&1 || true
    stop_display
    rm -rf "$LOGS"
}
trap cleanup EXIT
unset DISPLAY
ensure_display
wine_prefix_ready

if [ -n "$BUSY" ]; then
    cmake -S "$ROOT" -B "$ROOT/build/stress-load" -G Ninja >/dev/null
    # A process group of its own, so that the whole build ends with it.
    setsid sh -c "while :; do ninja -C '$ROOT/build/stress-load' -t clean >/dev/null;
                  ninja -C '$ROOT/build/stress-load' -j$(($(nproc) * 2)) >/dev/null 2>&1; done" &
    LOAD_PID=$!
fi

EXE=$ROOT/build/$QUORVANE_PRESET/app/quorvane.exe
PROBE=$ROOT/build/$QUORVANE_PRESET/bench/startup_probe.exe
# What Wine itself says of drives, services and the program's start.
TRACE=err+all,fixme-all,+volume,+mountmgr,+service
failures=0
i=0
while [ $i -lt "$STARTS" ]; do
    i=$((i + 1))
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w
    WINEDEBUG=$TRACE wine "$EXE" >"$LOGS/trace" 2>&1 &
    program=$!
    if ! result=$(WINEDEBUG=-all wine "$PROBE" 60 2>/dev/null | tr -d '\r'); then
        failures=$((failures + 1))
        echo "start $i: $result"
        echo "--- Wine's trace of start $i:"
        cat "$LOGS/trace"
        echo "---"
    fi
    # The probe closes the program; one that does not close is ended.
    waited=0
    while kill -0 "$program" 2>/dev/null && [ $waited -lt 100 ]; do sleep 0.1; waited=$((waited + 1)); done
    kill "$program" 2>/dev/null || true
    wait "$program" 2>/dev/null || true
    [ $((i % 20)) -eq 0 ] && echo "$i starts, $failures failed (load $(cut -d' ' -f1 /proc/loadavg))"
done
echo "$STARTS starts${BUSY:+ on a busy machine}: $failures failed"
[ "$failures" -eq 0 ]
