#!/bin/sh
# Keeps the manual pages and the programs' --help from drifting apart: every
# verb and option that --help names is described in the page, and every one
# the page names is in --help. The pages render without warnings and say the
# exit statuses and files. Exit 77 (skipped) without man.
#   check_man_pages.sh MAN_DIR QUORVEX_CLI QUORVEX
mandir=${1:?usage: check_man_pages.sh MAN_DIR QUORVEX_CLI QUORVEX}
cli=${2:?}
gui=${3:?}
command -v man >/dev/null || { echo "SKIPPED: install the Debian package man-db"; exit 77; }
# --help itself is what prints the usage, so the usage need not name it.
pending="--help"
status=0
render() {
    warnings=$(LC_ALL=C MANWIDTH=200 man --warnings -l "$1" 2>&1 >/dev/null)
    [ -z "$warnings" ] || { echo "$1: $warnings" >&2; echo "WARNINGS"; }
    LC_ALL=C MANWIDTH=200 man -l "$1" 2>/dev/null | col -b
}
options() { grep -o -- '--[a-z][a-z0-9-]*' | sort -u; }
compare() { # NAME HELP PAGE_TEXT
    name=$1
    help=$2
    page=$3
    echo "$page" | grep -q '^WARNINGS$' && { echo "$name.1 renders with warnings"; status=1; }
    for option in $(echo "$help" | options); do
        echo "$page" | grep -q -- "^ *$option\\b" || { echo "$name.1 does not describe $option"; status=1; }
    done
    for option in $(echo "$page" | options); do
        echo "$help" | grep -q -- "$option\\b" && continue
        echo " $pending " | grep -q -- " $option " && continue
        echo "$name --help lacks $option of $name.1"
        status=1
    done
    for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" FILES "SEE ALSO"; do
        echo "$page" | grep -q "^$section\$" || { echo "$name.1 has no $section section"; status=1; }
    done
}

help=$("$cli" --help)
page=$(render "$mandir/quorvex-cli.1")
compare quorvex-cli "$help" "$page"
# Verbs: in the usage, in the page's synopsis and in its list of commands.
help_verbs=$(echo "$help" | sed -n 's/^.*quorvex-cli \([a-z][a-z]*\).*/\1/p' | sort -u)
synopsis=$(echo "$page" | sed -n '/^SYNOPSIS$/,/^DESCRIPTION$/p')
page_verbs=$(echo "$synopsis" | sed -n 's/^ *quorvex-cli \([a-z][a-z]*\).*/\1/p' | sort -u)
[ "$help_verbs" = "$page_verbs" ] || { echo "verbs of --help: $help_verbs; of the page: $page_verbs" | tr '\n' ' '; echo; status=1; }
commands=$(echo "$page" | sed -n '/^COMMANDS$/,/^OPTIONS$/p')
for verb in $help_verbs; do
    echo "$commands" | grep -q "^ *$verb " || { echo "quorvex-cli.1 does not describe the command $verb"; status=1; }
done
for code in 0 1 2; do
    echo "$page" | sed -n '/^EXIT STATUS$/,/^FILES$/p' | grep -Eq "^ *$code( |\$)" ||
        { echo "quorvex-cli.1 does not say exit status $code"; status=1; }
done

help=$(DISPLAY= WAYLAND_DISPLAY= QT_QPA_PLATFORM=xcb "$gui" --help)
page=$(render "$mandir/quorvex.1")
compare quorvex "$help" "$page"
echo "$page" | grep -q 'recently-used.xbel' || { echo "quorvex.1 does not name the recent files list"; status=1; }
exit $status
