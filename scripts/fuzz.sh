#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a while.
#   fuzz.sh [seconds per target, default 60]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
"$root/scripts/deps.sh" test

build="$root/build-fuzz"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPARLANTA_FUZZ=ON -DPARLANTA_TESTS=OFF >/dev/null
cmake --build "$build" --target fuzz_targets

for target in "$build"/fuzz/fuzz_*; do
    [ -f "$target" ] && [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus="$build/corpus/$name"
    mkdir -p "$corpus" "$build/artifacts"
    echo "== $name for ${seconds}s"
    "$target" -max_total_time="$seconds" -max_len=70000 -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$build/artifacts/" -print_final_stats=1 \
        "$corpus" "$root/fuzz/corpus/${name#fuzz_}" 2>&1 | tail -n 8
done
