#!/usr/bin/env bash
# deb.sh again and again while another build keeps both cores busy (the
# project's own Debug build, from nothing, over and over, without ccache),
# to show that none of its checks flakes on a busy machine:
#   deb-soak.sh [RUNS, default 10]
# Each run's output is kept in build-soak/run-N.log. Prints a line per run
# and the count that passed; exits non-zero unless every run passed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-10}
out="$root/build-soak"
mkdir -p "$out"
"$root/scripts/deps.sh" test

# The load is a job of its own (a process group), so that it goes with all
# its compilers.
set -m
bash -c 'while :; do
        rm -rf "$1"
        cmake -S "$2" -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPARLANTA_TESTS=ON >/dev/null 2>&1 &&
            ninja -C "$1" -j 2 >/dev/null 2>&1 || true
    done' load "$out/load" "$root" &
load=$!
set +m
trap 'kill -- -"$load" 2>/dev/null || true' EXIT

passed=0
for ((n = 1; n <= runs; ++n)); do
    start=$SECONDS
    if "$root/scripts/deb.sh" >"$out/run-$n.log" 2>&1; then
        passed=$((passed + 1)) outcome=PASS
    else
        outcome="FAIL ($(grep -m 1 '^FAIL' "$out/run-$n.log" || tail -n 1 "$out/run-$n.log"))"
    fi
    echo "run $n of $runs: $outcome in $((SECONDS - start)) s, load average $(cut -d ' ' -f 1-3 /proc/loadavg)"
done
echo "$passed of $runs runs of deb.sh passed"
[ "$passed" -eq "$runs" ]
