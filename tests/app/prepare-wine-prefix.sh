#!/bin/sh
# The Wine prefix of the Windows tests, in the build tree. Creates and starts it
# (the first start takes a while), puts a Japanese font in place of
# "ＭＳ Ｐゴシック", lets Wine draw the window frames (no window manager runs on
# the virtual display) and keeps one wineserver running for all tests.
#   prepare-wine-prefix.sh PREFIX              prepare and start
#   prepare-wine-prefix.sh --shutdown PREFIX   stop the prefix's wineserver
set -eu
find_tool() {
    for candidate in "$@"; do
        if [ -x "$candidate" ]; then echo "$candidate"; return 0; fi
        if command -v "$candidate" >/dev/null 2>&1; then command -v "$candidate"; return 0; fi
    done
    echo "Wine is missing: apt-get install wine wine64 (tools/test-windows.sh does it)" >&2
    exit 1
}
wine=$(find_tool /usr/lib/wine/wine64 wine64 wine)
wineserver=$(find_tool /usr/lib/wine/wineserver wineserver)
export WINEDEBUG=-all

if [ "$1" = "--shutdown" ]; then
    WINEPREFIX=$2 "$wineserver" -k 2>/dev/null || true
    exit 0
fi

export WINEPREFIX="$1"
mkdir -p "$WINEPREFIX"
if [ -z "${DISPLAY:-}" ]; then
    echo "No X display: run the tests through tools/test-windows.sh (xvfb-run)" >&2
    exit 1
fi
"$wineserver" -p </dev/null >/dev/null 2>&1
"$wine" wineboot -u >/dev/null 2>&1
reg() { "$wine" reg add "$@" /f >/dev/null 2>&1; }
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /t REG_SZ /d 'IPAPGothic'
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS PGothic' /t REG_SZ /d 'IPAPGothic'
# Like Windows' font linking: captions in Tahoma (English locale) fall back
# to the Japanese font for the characters Tahoma lacks.
for face in Tahoma 'Microsoft Sans Serif' 'MS Shell Dlg'; do
    reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
        /v "$face" /t REG_MULTI_SZ /d 'ipagp.ttf,IPAPGothic'
done
reg 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
echo "Wine prefix ready: $WINEPREFIX"
