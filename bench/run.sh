#!/bin/bash
# Builds the benchmarks in Release and prints each figure beside its target.
#   bench/run.sh [FILTER]     FILTER is a Google Benchmark regex (default: all)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
dir="$root/build-bench"
filter=${1:-.}
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEX_TESTS=OFF -DQUORVEX_BENCH=ON >/dev/null
cmake --build "$dir" -j "$(nproc)" --target core_bench gui_bench >/dev/null
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$dir/bench/core_bench" --benchmark_filter="$filter" --benchmark_format=csv 2>/dev/null | grep '^"' >"$out" || true
QT_QPA_PLATFORM=offscreen "$dir/bench/gui_bench" --benchmark_filter="$filter" --benchmark_format=csv 2>/dev/null |
    grep '^"' | grep -v '^"name"' >>"$out" || true
python3 "$root/bench/report.py" "$out" "$root/bench/targets.txt"
