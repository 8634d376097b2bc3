#!/usr/bin/env bash
# Builds Parlanta for 64-bit Windows on this Debian machine, runs its tests
# under Wine, and makes the portable zip and the installer:
#   1. installs the Debian packages it needs (deps.sh windows);
#   2. builds Qt for Windows from Debian's source, once (windows-qt.sh);
#   3. cross-builds Parlanta and its tests with MinGW-w64;
#   4. runs the tests under Wine with Qt's offscreen platform;
#   5. packs the zip and the installer, checks them under Wine (on a virtual
#      display of its own), and prints their paths.
# Nothing here needs a display.
#   PARLANTA_WINDOWS_BUILD=DIR   the build folder (default: build-windows)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-kit.sh"
build=$windows_build

"$root/scripts/deps.sh" windows
qt=$("$root/scripts/windows-qt.sh" | tail -n 1)
echo "Qt for Windows: $qt"
# The same sources give the same bytes: strip writes this time into each PE
# header and rcc into the resources instead of the build's and the checkout's
# times, the zip's entry times (local times) are written in UTC, and its
# folders' modes do not follow the caller's umask.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}
export QT_RCC_SOURCE_DATE_OVERRIDE=$SOURCE_DATE_EPOCH TZ=UTC
umask 022

cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/packaging/windows/mingw-w64-x86_64.cmake" \
    -DCMAKE_PREFIX_PATH="$qt" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$wine" \
    -DCMAKE_BUILD_TYPE=Release -DPARLANTA_TESTS=ON >/dev/null
cmake --build "$build"

wine_test_env "$qt"
wine_prefix "$build/wine-prefix"
(cd "$build" && ctest --output-on-failure --timeout 600) | tee "$build/ctest.log"
# Wine hands no CI variable to the tests, so a skipped row is caught here:
# under CI, every row must run.
if [ -n "${CI:-}" ] && grep -q 'Skipped' "$build/ctest.log"; then
    grep '^SKIP' "$build/Testing/Temporary/LastTest.log" >&2 || true
    echo "windows.sh: rows were skipped; under CI every row must run" >&2
    exit 1
fi
# The power-cut replay of the Windows writer: its NTFS table (docs/power-cut.md).
wine_run 300 "$build/crash/crash_replay.exe" "$(wine_path "$build/crash/save_once.exe")"
wine_stop

windows_packages
rm -f "$zip" "$installer"
(cd "$build" && cpack -G ZIP >/dev/null && cpack -G NSIS >/dev/null)
[ -f "$zip" ] && [ -f "$installer" ] || { echo "windows.sh: cpack made no $zip and $installer" >&2; exit 1; }
"$root/packaging/windows/check-installer.sh" "$installer" "$zip"

echo "Windows zip:       $zip"
echo "Windows installer: $installer"
