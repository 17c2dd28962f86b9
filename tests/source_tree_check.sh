#!/bin/sh
# Tests write only into their own sandboxes. Run first with "snapshot" and last
# with "compare": the second fails when the run left a new or changed file in
# the source tree.
#   source_tree_check.sh snapshot|compare SOURCE_DIR STATE_FILE
set -u
mode=$1
source=$2
state=$3

listing() {
    if git -C "$source" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        # Ignored files (the build folders) are not listed.
        git -C "$source" status --porcelain --untracked-files=all --ignore-submodules=all 2>/dev/null | LC_ALL=C sort
    else
        # Outside a git checkout: every file but the build folders.
        (cd "$source" && find . \( -name 'build*' -o -name .git -o -name .cache \) -prune -o -type f -print) |
            LC_ALL=C sort
    fi
}

case $mode in
snapshot)
    listing >"$state"
    ;;
compare)
    if [ ! -f "$state" ]; then
        echo "no snapshot at $state" >&2
        exit 1
    fi
    now=$(mktemp)
    listing >"$now"
    added=$(LC_ALL=C comm -13 "$state" "$now")
    rm -f "$now"
    if [ -n "$added" ]; then
        echo "The test run left these in the source tree $source:"
        echo "$added"
        exit 1
    fi
    echo "source tree unchanged"
    ;;
*)
    echo "usage: $0 snapshot|compare SOURCE_DIR STATE_FILE" >&2
    exit 2
    ;;
esac
