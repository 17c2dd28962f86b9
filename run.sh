#!/bin/bash
# Builds the Quorvex program in build/ and starts it; ./test.sh builds the rest.
set -u
QUORVEX_ROOT=$(cd "$(dirname "$0")" && pwd)
. "$QUORVEX_ROOT/scripts/setup.sh"

quorvex_install_packages || exit 1
quorvex_configure_and_build_program "$QUORVEX_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEX_SANITIZE=OFF || exit 1

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Quorvex is built (build/quorvex) but there is no display to show its window on (DISPLAY is not set)."
    exit 1
fi
exec "$QUORVEX_ROOT/build/quorvex" "$@"
