#!/usr/bin/env bash
# Redraws the README's pictures of the main window after a search:
#   screenshot.sh              docs/main-window.png, the Linux build under Xvfb
#   screenshot.sh --windows    docs/windows-main-window.png, the Windows build
#                              under Wine (run scripts/windows.sh first)
#   screenshot.sh --windows --dpi 144|192
#                              the same at 150 % or 200 % (the prefix's
#                              LogPixels): docs/windows-main-window-DPI.png,
#                              docs/windows-add-word-DPI.png and
#                              docs/windows-numbers-DPI.png
#   screenshot.sh --scale 2    docs/main-window-2x.png, the Linux build at
#                              twice the size, as on a dense screen
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ "${1:-}" = --windows ]; then
    . "$root/scripts/wine-kit.sh"
    build=$windows_build
    [ -f "$build/CMakeCache.txt" ] || { echo "run scripts/windows.sh first" >&2; exit 2; }
    "$root/scripts/deps.sh" windows
    qt=$("$root/scripts/windows-qt.sh" | tail -n 1)
    cmake -S "$root" -B "$build" -DPARLANTA_TOOLS=ON >/dev/null
    cmake --build "$build" --target screenshot
    wine_test_env "$qt"
    dpi=${3:-}
    [ "${2:-}" != --dpi ] || [ "$dpi" = 144 ] || [ "$dpi" = 192 ] || { echo "--dpi takes 144 or 192" >&2; exit 2; }
    # A prefix of its own with Wine's own fonts, which stand in for the
    # Windows ones, on Wine's display-less driver; one for each density.
    prefix="$build/wine-screenshot${dpi:+-$dpi}"
    if [ ! -f "$prefix/system.reg" ]; then
        wine_prefix "$prefix" null
        wine_windows_fonts
        if [ -n "$dpi" ]; then
            wine_run 60 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
            wine_run 60 reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
            wine_wait 60
        fi
    else
        wine_prefix "$prefix"
    fi
    if [ -z "$dpi" ]; then
        wine_run 120 "$build/tools/screenshot.exe" "$(wine_path "$root/data")" "$(wine_path "$root/docs/windows-main-window.png")"
        wine_wait 60
        echo "wrote docs/windows-main-window.png"
        exit 0
    fi
    out=$(mktemp -d)
    wine_run 120 "$build/tools/screenshot.exe" --all "$(wine_path "$root/data")" "$(wine_path "$out")"
    wine_wait 60
    for shot in Form1:main-window frmAdd:add-word Form2:numbers; do
        cp "$out/${shot%%:*}.png" "$root/docs/windows-${shot#*:}-$dpi.png"
        echo "wrote docs/windows-${shot#*:}-$dpi.png"
    done
    rm -rf "$out"
    exit 0
fi

scale=1 name=main-window
if [ "${1:-}" = --scale ]; then
    scale=$2 name=main-window-${2}x
fi
"$root/scripts/deps.sh" test
build="$root/build"
cmake -S "$root" -B "$build" -G Ninja -DPARLANTA_TOOLS=ON >/dev/null
cmake --build "$build" --target screenshot
# Under a real X server when there is one to borrow, so fonts render as on a desktop.
QT_SCALE_FACTOR=$scale "$root/scripts/with-display.sh" 1280x1024x24 "$build/tools/screenshot" "$root/data" "$root/docs/$name.png"
echo "wrote docs/$name.png"
