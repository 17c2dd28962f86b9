#!/bin/bash
# Builds the fuzz targets (every fuzz/fuzz_*.cpp) with clang and runs each one.
#   fuzz/run.sh SECONDS     replay the seed corpus, then fuzz each target for SECONDS
#   fuzz/run.sh 0           only replay the seed corpus
#   fuzz/run.sh --short     replay, then 10 s per target (what ./test.sh runs)
# New inputs go to build-fuzz/corpus/<target>, never into the repository;
# crashes are left in build-fuzz/artifacts/.
set -eu
seconds=${1:?usage: fuzz/run.sh SECONDS|--short}
[ "$seconds" = "--short" ] && seconds=10
case "$seconds" in
''|*[!0-9]*) echo "usage: fuzz/run.sh SECONDS|--short" >&2; exit 2 ;;
esac
root=$(cd "$(dirname "$0")/.." && pwd)
dir="$root/build-fuzz"
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DQUORVEX_FUZZ=ON -DQUORVEX_GUI=OFF -DQUORVEX_TESTS=OFF -DQUORVEX_BENCH=OFF >/dev/null
targets=$(cd "$root/fuzz" && ls fuzz_*.cpp | sed 's/\.cpp$//')
# Quiet when it builds; the compiler's words when it does not.
if ! build_log=$(cmake --build "$dir" -j "${FUZZ_JOBS:-2}" --target $targets make_corpus 2>&1); then
    echo "$build_log" | tail -40
    echo "The fuzz targets did not build." >&2
    exit 1
fi
mkdir -p "$dir/artifacts"
status=0
for target in $targets; do
    seeds="$root/fuzz/corpus/$target"
    work="$dir/corpus/$target"
    mkdir -p "$work"
    echo "== $target: replaying $(ls "$seeds" | wc -l) seeds"
    if ! "$dir/fuzz/$target" -artifact_prefix="$dir/artifacts/$target-" "$seeds"/* >"$dir/$target-replay.log" 2>&1; then
        tail -30 "$dir/$target-replay.log"
        status=1
        continue
    fi
    if [ "$seconds" -gt 0 ]; then
        echo "== $target: fuzzing for $seconds s"
        if ! "$dir/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 -max_len=65536 \
            -artifact_prefix="$dir/artifacts/$target-" "$work" "$seeds" >"$dir/$target-fuzz.log" 2>&1; then
            tail -30 "$dir/$target-fuzz.log"
            status=1
        else
            grep -E "^Done|#[0-9]+ *DONE" "$dir/$target-fuzz.log" | tail -1
        fi
    fi
done
exit $status
