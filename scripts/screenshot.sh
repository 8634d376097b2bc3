#!/usr/bin/env bash
# Redraws the README's pictures of the main window after a search:
#   screenshot.sh              docs/main-window.png, the Linux build under Xvfb
#   screenshot.sh --windows    docs/windows-main-window.png, the Windows build
#                              under Wine (run scripts/windows.sh first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ "${1:-}" = --windows ]; then
    build="$root/build-windows"
    [ -f "$build/CMakeCache.txt" ] || { echo "run scripts/windows.sh first" >&2; exit 2; }
    "$root/scripts/deps.sh" windows
    qt=$("$root/scripts/windows-qt.sh" | tail -n 1)
    cmake -S "$root" -B "$build" -DPARLANTA_TOOLS=ON >/dev/null
    cmake --build "$build" --target screenshot
    . "$root/scripts/wine-env.sh"
    # A prefix of its own with Wine's own fonts, which stand in for the
    # Windows ones, on Wine's display-less driver.
    export WINEPREFIX="$build/wine-screenshot"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1
        /usr/lib/wine/wineserver -w
        cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
        /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
    fi
    /usr/lib/wine/wine64 "$build/tools/screenshot.exe" "Z:${root//\//\\}\\data" "Z:${root//\//\\}\\docs\\windows-main-window.png"
    /usr/lib/wine/wineserver -w
    echo "wrote docs/windows-main-window.png"
    exit 0
fi

"$root/scripts/deps.sh" test
build="$root/build"
cmake -S "$root" -B "$build" -G Ninja -DPARLANTA_TOOLS=ON >/dev/null
cmake --build "$build" --target screenshot
# Under a real X server when there is one to borrow, so fonts render as on a desktop.
xvfb-run -a -s "-screen 0 1024x768x24" "$build/tools/screenshot" "$root/data" "$root/docs/main-window.png"
echo "wrote docs/main-window.png"
