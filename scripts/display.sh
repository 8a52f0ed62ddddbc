# Sourced: starts a private virtual display when none is set.
# After `ensure_display`, DISPLAY is usable; `stop_display` ends what it started.
XVFB_PID=
WM_PID=

ensure_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    n=${QUORVANE_DISPLAY:-97}
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    i=0
    while [ ! -e "/tmp/.X11-unix/X$n" ]; do
        i=$((i + 1))
        if [ $i -gt 100 ]; then echo "Xvfb did not start" >&2; return 1; fi
        sleep 0.1
    done
    export DISPLAY=":$n"
    # A light window manager: windows get their frames and captions, and
    # key presses reach the focused window.
    openbox --sm-disable >/dev/null 2>&1 &
    WM_PID=$!
    sleep 0.5
}

stop_display() {
    if [ -n "$WM_PID" ]; then
        kill "$WM_PID" 2>/dev/null || true
        WM_PID=
    fi
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=
    fi
}
