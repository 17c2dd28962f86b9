#!/bin/bash
# Builds Quorvex in build/ and starts it.
set -u
QUORVEX_ROOT=$(cd "$(dirname "$0")" && pwd)
. "$QUORVEX_ROOT/scripts/setup.sh"

quorvex_install_packages || exit 1
quorvex_configure_and_build "$QUORVEX_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo || exit 1

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Quorvex is built (build/quorvex) but there is no display to show its window on (DISPLAY is not set)."
    exit 1
fi
exec "$QUORVEX_ROOT/build/quorvex" "$@"
