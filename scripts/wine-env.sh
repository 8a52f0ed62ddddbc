# Sourced by the scripts that run Windows programs: a private, throw-away
# Wine prefix inside the build folder, quiet and without install prompts.
ROOT=${ROOT:-$(cd "$(dirname "$0")/.." && pwd)}
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
    wine_fonts_ready
}

# The windows ask for "MS Sans Serif" with Cyrillic letters. Wine has it
# (package fonts-wine) but loads it only from the prefix's Fonts folder
# when it is registered there; without it a much wider font stands in and
# the texts no longer fit the layout.
wine_fonts_ready() {
    [ -f "$WINEPREFIX/.quorvane-fonts" ] && return 0
    font=/usr/share/wine/fonts/sserifer.fon
    [ -f "$font" ] || return 0
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp -f "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' \
        /v 'MS Sans Serif 8,10,12,14,18,24 (Cyrillic)' /t REG_SZ /d sserifer.fon /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.quorvane-fonts"
}
