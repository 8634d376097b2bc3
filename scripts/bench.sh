#!/usr/bin/env bash
# Builds the benchmarks (Release) and prints their figures.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" test
build="$root/build-bench"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPARLANTA_TESTS=OFF -DPARLANTA_BENCH=ON >/dev/null
cmake --build "$build" --target bench_word_list
"$build/bench/bench_word_list" --benchmark_color=false "$@"
# The start-up, Parlanta's against a bare Qt main window's, on an X server of its own.
cmake --build "$build" --target bench_startup
"$root/scripts/with-display.sh" 1280x1024x24 "$root/bench/startup.sh" "$build/bench/bench_startup"
