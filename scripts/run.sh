#!/usr/bin/env bash
# Builds Parlanta (Release) and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" run

build="$root/build-release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPARLANTA_TESTS=OFF >/dev/null
cmake --build "$build" --target parlanta

program="$build/app/parlanta"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display to show Parlanta on. Run it on a desktop, or without one as: xvfb-run -a $program" >&2
    exit 1
fi
exec "$program"
