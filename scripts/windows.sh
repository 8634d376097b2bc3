#!/usr/bin/env bash
# Builds Parlanta for 64-bit Windows on this Debian machine, runs its tests
# under Wine, and makes the portable zip and the installer:
#   1. installs the Debian packages it needs (deps.sh windows);
#   2. builds Qt for Windows from Debian's source, once (windows-qt.sh);
#   3. cross-builds Parlanta and its tests with MinGW-w64;
#   4. runs the tests under Wine with Qt's offscreen platform;
#   5. packs the zip and the installer, checks them under Wine, and prints
#      their paths.
# Nothing here needs a display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PARLANTA_WINDOWS_BUILD:-$root/build-windows}

"$root/scripts/deps.sh" windows
qt=$("$root/scripts/windows-qt.sh" | tail -n 1)
echo "Qt for Windows: $qt"

cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/packaging/windows/mingw-w64-x86_64.cmake" \
    -DCMAKE_PREFIX_PATH="$qt" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_CROSSCOMPILING_EMULATOR=/usr/lib/wine/wine64 \
    -DCMAKE_BUILD_TYPE=Release -DPARLANTA_TESTS=ON >/dev/null
cmake --build "$build"

# A Wine prefix of the build's own, made once. No desktop, and none of the
# .NET or browser add-ons Wine would offer to download.
export WINEPREFIX="$build/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1
    /usr/lib/wine/wineserver -w
fi
# The tests find Qt's and the MinGW runtime's DLLs through Wine's PATH.
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
pthreads=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")
export WINEPATH="Z:${qt//\//\\}\\bin;Z:${runtime//\//\\};Z:${pthreads//\//\\}"
export QT_PLUGIN_PATH="Z:${qt//\//\\}\\plugins"
# Qt's offscreen platform, which the tests use, reads fonts from Qt's own
# folder. DejaVu Sans alone there stands in for every font the windows ask
# for, as it does in the Linux tests, so both measure the same text.
mkdir -p "$qt/lib/fonts"
rm -f "$qt/lib/fonts/"*.ttf
ln -s /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf "$qt/lib/fonts/"
(cd "$build" && ctest --output-on-failure --timeout 600)

(cd "$build" && cpack -G ZIP >/dev/null && cpack -G NSIS >/dev/null)
zip=$(ls "$build"/parlanta-*-win64.zip)
installer=$(ls "$build"/parlanta-*-win64-setup.exe)
"$root/packaging/windows/check-installer.sh" "$installer" "$zip"

echo "Windows zip:       $zip"
echo "Windows installer: $installer"
