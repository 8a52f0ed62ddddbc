# Sourced: starts a private virtual display when none is set.
# After `ensure_display`, DISPLAY is usable; `stop_display` ends what it started.
XVFB_PID=
WM_PID=

# Starts Xvfb on display $1 and waits until it is ready. Returns 1 when
# that Xvfb exits first: the number is taken after all, by an X server
# that left no file here (one in another mount namespace holds it through
# its abstract socket) or by one started a moment ago (another engineer's
# Xvfb that won the lock). The server itself says it is ready, through
# -displayfd, so a socket file that another server makes meanwhile
# cannot be taken for ours.
start_xvfb() {
    local ready i
    ready=$(mktemp)
    Xvfb ":$1" -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$ready" >/dev/null 2>&1 &
    XVFB_PID=$!
    i=0
    while [ ! -s "$ready" ]; do
        if ! kill -0 "$XVFB_PID" 2>/dev/null; then
            wait "$XVFB_PID" 2>/dev/null || true
            XVFB_PID=
            rm -f "$ready"
            return 1
        fi
        i=$((i + 1))
        if [ $i -gt 300 ]; then
            # Neither up nor gone after 30 s: give up on this one.
            kill "$XVFB_PID" 2>/dev/null || true
            wait "$XVFB_PID" 2>/dev/null || true
            XVFB_PID=
            rm -f "$ready"
            return 2
        fi
        sleep 0.1
    done
    rm -f "$ready"
}

ensure_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    local n tries status
    n=${QUORVANE_DISPLAY:-97}
    tries=0
    while :; do
        # Numbers with a server's files here are taken; the start tells
        # about the rest, as `xvfb-run -a` finds out.
        while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
        status=0
        start_xvfb "$n" || status=$?
        [ $status -eq 0 ] && break
        tries=$((tries + 1))
        if [ $status -ne 1 ] || [ $tries -ge 20 ]; then echo "Xvfb did not start" >&2; return 1; fi
        n=$((n + 1))
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
