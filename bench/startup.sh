#!/usr/bin/env bash
# Starts bench_startup RUNS times as Parlanta, as a bare Qt main window and
# as that window with one line of text, taking turns, at scales 1 and 2, under one X server, and prints for each
# the minimum and median time from start to window shown and the peak memory.
#   bench/startup.sh BENCH_STARTUP [RUNS]
set -euo pipefail
program=$1 runs=${2:-15}
median() { sort -n | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }
printf '%-6s %-9s %10s %12s %14s\n' scale program "min (ms)" "median (ms)" "peak memory (kB, median)"
for scale in 1 2; do
    declare -A times=() memory=()
    for ((run = 0; run < runs; ++run)); do
        for kind in parlanta bare text; do
            start=$(date +%s%N)
            read -r shown kb < <(QT_SCALE_FACTOR=$scale "$program" "$kind" 2>/dev/null)
            times[$kind]+="$(( (shown - start) / 1000 )) "
            memory[$kind]+="$kb "
        done
    done
    for kind in parlanta bare text; do
        ms=$(tr ' ' '\n' <<<"${times[$kind]}" | grep . | sort -n)
        printf '%-6s %-9s %10.1f %12.1f %14d\n' "$scale" "$kind" "$(head -n 1 <<<"$ms" | awk '{ print $1 / 1000 }')" \
            "$(median <<<"$ms" | awk '{ print $1 / 1000 }')" "$(tr ' ' '\n' <<<"${memory[$kind]}" | grep . | median)"
    done
    unset times memory
done
