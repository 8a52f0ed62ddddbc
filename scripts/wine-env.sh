# Sourced by the scripts that run Windows programs: a private, throw-away
# Wine prefix inside the build folder, quiet and without install prompts.
# A sourced file cannot find its own folder portably ($0 is the shell's
# name when sourced by hand), so the caller names the repository in ROOT.
: "${ROOT:?set ROOT to the repository before sourcing scripts/wine-env.sh}"
export WINEPREFIX=${QUORVANE_WINEPREFIX:-$ROOT/build/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win32
export LC_ALL=C.UTF-8

# Creates the prefix once and switches off Wine's crash dialog, so a crash
# ends the program instead of waiting for a click.
wine_prefix_ready() {
    if [ ! -f "$WINEPREFIX/.quorvane-ready" ]; then
        mkdir -p "$(dirname "$WINEPREFIX")"
        wineboot --init >/dev/null 2>&1 || true
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
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
