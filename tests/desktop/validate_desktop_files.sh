#!/bin/sh
# Checks the desktop entry, the AppStream description and the MIME package
# with the freedesktop tools. Exit 77 (skipped) when a tool is missing.
#   validate_desktop_files.sh DATA_DIR
data=${1:?usage: validate_desktop_files.sh DATA_DIR}
missing=""
command -v desktop-file-validate >/dev/null || missing="$missing desktop-file-utils"
command -v appstreamcli >/dev/null || missing="$missing appstream"
command -v update-mime-database >/dev/null || missing="$missing shared-mime-info"
command -v xdg-mime >/dev/null || missing="$missing xdg-utils"
command -v gio >/dev/null || missing="$missing libglib2.0-bin"
if [ -n "$missing" ]; then
    echo "SKIPPED: install the Debian packages:$missing"
    exit 77
fi
status=0
out=$(desktop-file-validate "$data/quorvex.desktop" 2>&1)
if [ $? -ne 0 ] || [ -n "$out" ]; then echo "$out"; status=1; fi
grep -q '^Exec=quorvex %f$' "$data/quorvex.desktop" || { echo "Exec line must open %f"; status=1; }
appstreamcli validate --no-net --pedantic "$data/org.quorvex.Quorvex.metainfo.xml" || status=1
# Software centres show the README's pictures and who makes the program.
meta="$data/org.quorvex.Quorvex.metainfo.xml"
grep -q '<developer_name>[^<]' "$meta" || { echo "AppStream file names no developer"; status=1; }
for shot in $(grep -o 'docs/screenshots/[a-z-]*\.png' "$data/../README.md"); do
    grep -q "<image type=\"source\"[^>]*>https://[^<]*/$(basename "$shot")</image>" "$meta" ||
        { echo "AppStream file lacks the screenshot $(basename "$shot")"; status=1; }
done
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

# How the desktop types files: by the bytes for .lst, which other programs use
# too, by the name for .lstd. Asked as a GNOME desktop asks (through gio),
# with only this package's types added to the system's.
files="$share/files"
mkdir -p "$files"
printf 'QuorvexListFile_ListVersion1.1\001\000' >"$files/movies.lst"
printf 'QuorvexListFile_ListVers1.2Dep\001\000' >"$files/shelf.lstd"
printf 'QuorvexListFile_ListVers1.2Dep\001\000' >"$files/shelf-renamed.lst"
printf 'QuorvexListFile_ListVersion1.1\001\000' >"$files/no-extension"
printf 'version1.0 9 2\n30 40 50\n' >"$files/old.lst"
printf 'version1.0 3\r\n' >"$files/old-crlf.lst"
printf 'track01.wav\ntrack02.wav\n' >"$files/playlist.lst"
printf 'version10 of the notes\n' >"$files/notes.lst"
printf 'QuorvexListFile' >"$files/plain.txt"
printf '[a]\n' >"$files/x.lstd"
while read -r name want; do
    got=$(HOME="$share" XDG_DATA_HOME="$share" XDG_DATA_DIRS=/usr/share XDG_CURRENT_DESKTOP=GNOME \
        xdg-mime query filetype "$files/$name" 2>/dev/null)
    [ "$got" = "$want" ] || { echo "xdg-mime types $name as '$got', not $want"; status=1; }
done <<TYPES
movies.lst application/x-quorvex-list
shelf.lstd application/x-quorvex-dependent-list
shelf-renamed.lst application/x-quorvex-dependent-list
no-extension application/x-quorvex-list
old.lst application/x-quorvex-list
old-crlf.lst application/x-quorvex-list
playlist.lst text/plain
notes.lst text/plain
plain.txt text/plain
x.lstd application/x-quorvex-dependent-list
TYPES
# Each list type has its own icon in the theme's mimetypes folder.
for type in application/x-quorvex-list application/x-quorvex-dependent-list; do
    icon=$(echo "$type" | tr / -)
    grep -q "<icon name=\"$icon\"/>" "$data/quorvex.xml" || { echo "MIME file names no icon for $type"; status=1; }
    [ -s "$data/mimetypes/$icon.svg" ] || { echo "no icon $data/mimetypes/$icon.svg"; status=1; }
done
exit $status
