#!/bin/sh
# Checks the desktop entry, the AppStream description and the MIME package
# with the freedesktop tools. Exit 77 (skipped) when a tool is missing.
#   validate_desktop_files.sh DATA_DIR
data=${1:?usage: validate_desktop_files.sh DATA_DIR}
missing=""
command -v desktop-file-validate >/dev/null || missing="$missing desktop-file-utils"
command -v appstreamcli >/dev/null || missing="$missing appstream"
command -v update-mime-database >/dev/null || missing="$missing shared-mime-info"
if [ -n "$missing" ]; then
    echo "SKIPPED: install the Debian packages:$missing"
    exit 77
fi
status=0
out=$(desktop-file-validate "$data/quorvex.desktop" 2>&1)
if [ $? -ne 0 ] || [ -n "$out" ]; then echo "$out"; status=1; fi
grep -q '^Exec=quorvex %f$' "$data/quorvex.desktop" || { echo "Exec line must open %f"; status=1; }
appstreamcli validate --no-net --pedantic "$data/org.quorvex.Quorvex.metainfo.xml" || status=1
# The MIME database compiler reads the package file as the desktop will.
share=$(mktemp -d)
trap 'rm -rf "$share"' EXIT
mime="$share/mime"
mkdir -p "$mime/packages"
cp "$data/quorvex.xml" "$mime/packages/"
out=$(XDG_DATA_DIRS="$share" update-mime-database "$mime" 2>&1)
if [ $? -ne 0 ] || [ -n "$out" ]; then echo "$out"; status=1; fi
grep -q 'QuorvexListFile' "$mime/magic" 2>/dev/null || { echo "MIME magic missing"; status=1; }
# Both list types are declared and the desktop entry offers to open them.
for type in application/x-quorvex-list application/x-quorvex-dependent-list; do
    grep -q "type=\"$type\"" "$data/quorvex.xml" || { echo "MIME file lacks $type"; status=1; }
    grep -q "^MimeType=.*$type;" "$data/quorvex.desktop" || { echo "desktop entry lacks $type"; status=1; }
done
exit $status
