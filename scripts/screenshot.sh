#!/usr/bin/env bash
# Redraws docs/main-window.png, the README's picture of the main window.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" test
build="$root/build"
cmake -S "$root" -B "$build" -G Ninja -DPARLANTA_TOOLS=ON >/dev/null
cmake --build "$build" --target screenshot
# Under a real X server when there is one to borrow, so fonts render as on a desktop.
xvfb-run -a -s "-screen 0 1024x768x24" "$build/tools/screenshot" "$root/data" "$root/docs/main-window.png"
echo "wrote docs/main-window.png"
