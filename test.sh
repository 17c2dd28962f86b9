#!/bin/bash
# Builds Quorvex with its tests and runs the whole suite headless.
#   ./test.sh              normal build in build/
#   ./test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
#   ./test.sh --no-fuzz    skip the short fuzzing run
set -u
QUORVEX_ROOT=$(cd "$(dirname "$0")" && pwd)
sanitize=0
fuzz=1
for arg in "$@"; do
    case "$arg" in
    --sanitize) sanitize=1 ;;
    --no-fuzz) fuzz=0 ;;
    *) echo "usage: ./test.sh [--sanitize] [--no-fuzz]" >&2; exit 2 ;;
    esac
done
if [ -d "$QUORVEX_ROOT/fuzz" ] && [ $fuzz = 1 ]; then
    QUORVEX_EXTRA_PACKAGES="clang"
fi
. "$QUORVEX_ROOT/scripts/setup.sh"
quorvex_install_packages || exit 1

export QT_QPA_PLATFORM=offscreen
if [ $sanitize = 1 ]; then
    dir="$QUORVEX_ROOT/build-asan"
    quorvex_configure_and_build "$dir" -DCMAKE_BUILD_TYPE=Debug -DQUORVEX_SANITIZE=ON -DQUORVEX_BENCH=OFF || exit 1
    export ASAN_OPTIONS=detect_leaks=0
else
    dir="$QUORVEX_ROOT/build"
    quorvex_configure_and_build "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEX_SANITIZE=OFF || exit 1
fi

ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" --timeout 300 || exit 1

if [ $fuzz = 1 ] && [ -x "$QUORVEX_ROOT/fuzz/run.sh" ]; then
    "$QUORVEX_ROOT/fuzz/run.sh" --short || exit 1
fi
echo "All tests passed."
