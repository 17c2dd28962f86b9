#!/bin/sh
# Checks the built help document: it exists, is a real manual with every
# picture the Markdown names, and a started program finds it where Help > Help
# looks (the program folder, filled from the build's data at start-up).
# Exit 77 (skipped) when poppler-utils is missing.
#   check_manual.sh BUILD_DIR MANUAL.md QUORVEX_EXE
build=${1:?usage: check_manual.sh BUILD_DIR MANUAL.md QUORVEX_EXE}
manual=${2:?}
program=${3:?}
pdf="$build/data/Quorvex_Documentation.pdf"
if ! command -v pdfinfo >/dev/null || ! command -v pdfimages >/dev/null; then
    echo "SKIPPED: install the Debian package poppler-utils"
    exit 77
fi
status=0
[ -s "$pdf" ] || { echo "no help document at $pdf"; exit 1; }
pages=$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')
[ "${pages:-0}" -gt 15 ] || { echo "the manual has only ${pages:-0} pages"; status=1; }
wanted=$(grep -c '^!\[' "$manual")
placed=$(pdfimages -list "$pdf" | tail -n +3 | awk '$3 == "image"' | wc -l)
[ "$wanted" -ge 20 ] || { echo "the manual names only $wanted pictures"; status=1; }
[ "$placed" -ge "$wanted" ] || { echo "$placed pictures in the PDF, $wanted named in $manual"; status=1; }
pdftotext "$pdf" - 2>/dev/null | grep -q 'Choose the column to sort by' || { echo "the PDF lacks the manual's text"; status=1; }

# A first start in an empty home copies the document into the program folder.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/tmp"
HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" TMPDIR="$home/tmp" \
    QT_QPA_PLATFORM=offscreen timeout 4 "$program" >/dev/null 2>&1
found="$home/data/Quorvex/Quorvex_Documentation.pdf"
cmp -s "$pdf" "$found" || { echo "the started program has no copy of the help document at $found"; status=1; }
exit $status
