#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs them for a while, side by
# side (each keeps one core busy); prints each one's final figures.
#   fuzz.sh [seconds per target, default 60]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
"$root/scripts/deps.sh" test

. "$root/scripts/compiler-cache.sh"

build="$root/build-fuzz"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPARLANTA_FUZZ=ON -DPARLANTA_TESTS=OFF "${compiler_cache[@]}" >/dev/null
cmake --build "$build" --target fuzz_targets

names=() pids=()
for target in "$build"/fuzz/fuzz_*; do
    [ -f "$target" ] && [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus="$build/corpus/$name"
    mkdir -p "$corpus" "$build/artifacts"
    "$target" -max_total_time="$seconds" -max_len=70000 -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$build/artifacts/$name-" -print_final_stats=1 \
        "$corpus" "$root/fuzz/corpus/${name#fuzz_}" >"$build/$name.log" 2>&1 &
    names+=("$name") pids+=($!)
done
status=0
for i in "${!pids[@]}"; do
    echo "== ${names[i]} for ${seconds}s"
    wait "${pids[i]}" || { status=1; echo "FAIL: ${names[i]} (log: $build/${names[i]}.log)"; }
    tail -n 8 "$build/${names[i]}.log"
done
exit "$status"
