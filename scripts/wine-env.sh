# Sourced by the scripts that run Windows programs: a private, throw-away
# Wine prefix inside the build folder, quiet and without install prompts.
# A sourced file cannot find its own folder portably ($0 is the shell's
# name when sourced by hand), so the caller names the repository in ROOT.
: "${ROOT:?set ROOT to the repository before sourcing scripts/wine-env.sh}"

# The Windows the tests and tools run: the 32-bit program under the 32-bit
# Wine, or, where the kernel runs no 32-bit code at all (some virtual
# machines), a 64-bit build of the same sources under the 64-bit Wine.
# QUORVANE_PRESET names the CMake preset whose programs run here.
wine_runs_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
if [ -z "${QUORVANE_PRESET:-}" ]; then
    if wine_runs_32bit || [ ! -x /usr/lib/wine/wine64 ]; then QUORVANE_PRESET=win32; else QUORVANE_PRESET=win64; fi
fi
export QUORVANE_PRESET
if [ "$QUORVANE_PRESET" = win64 ]; then
    export WINEARCH=win64
    export WINEPREFIX=${QUORVANE_WINEPREFIX:-$ROOT/build/wineprefix64}
    case ":$PATH:" in *":$ROOT/scripts/wine64:"*) ;; *) PATH=$ROOT/scripts/wine64:$PATH ;; esac
    export PATH
else
    export WINEARCH=win32
    export WINEPREFIX=${QUORVANE_WINEPREFIX:-$ROOT/build/wineprefix}
fi
# The Windows version a new prefix reports, as winecfg names it (winxp,
# winxp64 in a 64-bit prefix, win7, ...); Wine's own default when unset.
QUORVANE_WINDOWS_VERSION=${QUORVANE_WINDOWS_VERSION:-}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=C.UTF-8

# Creates the prefix once, at the Windows version asked for, and switches
# off Wine's crash dialog, so a crash ends the program instead of waiting
# for a click.
wine_prefix_ready() {
    if [ ! -f "$WINEPREFIX/.quorvane-ready" ]; then
        mkdir -p "$(dirname "$WINEPREFIX")"
        wine wineboot --init >/dev/null 2>&1 || true
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
        if [ -n "$QUORVANE_WINDOWS_VERSION" ]; then
            wine winecfg -v "$QUORVANE_WINDOWS_VERSION" >/dev/null 2>&1
        fi
        wineserver -w
        touch "$WINEPREFIX/.quorvane-ready"
    fi
    wine_font_unregistered
}

# Prefixes set up before the program carried its own face had the face
# registered; take that out, so the tests see what a user's prefix shows.
wine_font_unregistered() {
    [ -f "$WINEPREFIX/.quorvane-fonts" ] || return 0
    wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' \
        /v 'MS Sans Serif 8,10,12,14,18,24 (Cyrillic)' /f >/dev/null 2>&1 || true
    rm -f "$WINEPREFIX/drive_c/windows/Fonts/sserifer.fon" "$WINEPREFIX/.quorvane-fonts"
    wineserver -w
}

# One server and one set of Wine's own services for the prefix, started with
# their output going nowhere: started by a test program instead, they would
# hold that test's output pipe open and stall CTest.
wine_services_started() {
    wine_prefix_ready
    # One already running for the prefix (a run of a test by hand) answers 2
    # and is as good: a script under `set -e` must not end silently there.
    wineserver -p || [ $? -eq 2 ]
    wine cmd /c exit >/dev/null 2>&1 </dev/null
}
