#!/usr/bin/env bash
# Builds everything (program, tests, benchmarks) and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" test

. "$root/scripts/compiler-cache.sh"

build="$root/build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPARLANTA_TESTS=ON -DPARLANTA_BENCH=ON "${compiler_cache[@]}" >/dev/null
cmake --build "$build"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600
