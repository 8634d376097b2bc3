#!/usr/bin/env bash
# The power-cut replay (docs/power-cut.md): builds the replay and the writer
# it records into build/, runs the replay's own tests, then records one save
# of the Linux writer under strace and checks every crash state of each
# model. Prints one table per model; exits non-zero on any violation.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" test

. "$root/scripts/compiler-cache.sh"

build="$root/build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPARLANTA_TESTS=ON "${compiler_cache[@]}" >/dev/null
cmake --build "$build" --target crash_replay test_crash_models save_once
"$build/crash/test_crash_models" -silent
# The states are rebuilt in memory-backed storage where there is some, so
# that the syncs of the next add cost nothing.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi
"$build/crash/crash_replay" "$build/crash/save_once"
