#!/bin/sh
# Builds the Debian package of a built tree into a scratch folder and checks
# its name, files and dependencies. Exit 77 (skipped) without the Debian tools.
#   check_package.sh BUILD_DIR VERSION
build=${1:?usage: check_package.sh BUILD_DIR VERSION}
version=${2:?usage: check_package.sh BUILD_DIR VERSION}
for tool in cpack dpkg-deb dpkg-shlibdeps dpkg; do
    command -v $tool >/dev/null || { echo "SKIPPED: $tool is missing (Debian packages cmake, dpkg-dev)"; exit 77; }
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
if ! cpack -G DEB -B "$scratch" --config "$build/CPackConfig.cmake" >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log"
    exit 1
fi
deb="$scratch/quorvex_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "no $deb:"; ls "$scratch"; exit 1; }
dpkg-deb -c "$deb" | awk '{print $NF}' >"$scratch/files"
status=0
for f in ./usr/bin/quorvex ./usr/bin/quorvex-cli \
    ./usr/share/applications/quorvex.desktop \
    ./usr/share/mime/packages/quorvex.xml \
    ./usr/share/metainfo/org.quorvex.Quorvex.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/quorvex.svg \
    ./usr/share/icons/hicolor/16x16/apps/quorvex.png \
    ./usr/share/icons/hicolor/256x256/apps/quorvex.png \
    ./usr/share/icons/hicolor/scalable/mimetypes/application-x-quorvex-list.svg \
    ./usr/share/icons/hicolor/scalable/mimetypes/application-x-quorvex-dependent-list.svg \
    ./usr/share/doc/quorvex/copyright \
    ./usr/share/doc/quorvex/changelog.Debian.gz \
    ./usr/share/man/man1/quorvex.1.gz \
    ./usr/share/man/man1/quorvex-cli.1.gz \
    ./usr/share/quorvex/Templates/DVD.lst; do
    grep -qx "$f" "$scratch/files" || { echo "package lacks $f"; status=1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libstdc++6 libqt6widgets6 libcsv3; do
    echo "$depends" | grep -q "$lib" || { echo "Depends lacks $lib: $depends"; status=1; }
done
[ "$(dpkg-deb -f "$deb" Package)" = quorvex ] || { echo "wrong package name"; status=1; }
# The manual pages and the changelog as the package holds them: compressed,
# and readable by man and dpkg.
dpkg-deb -x "$deb" "$scratch/root"
for page in quorvex quorvex-cli; do
    gzip -t "$scratch/root/usr/share/man/man1/$page.1.gz" 2>/dev/null || { echo "$page.1.gz is not gzipped"; status=1; continue; }
    if command -v man >/dev/null; then
        text=$(LC_ALL=C MANWIDTH=100 man -l "$scratch/root/usr/share/man/man1/$page.1.gz" 2>&1)
        echo "$text" | grep -q "EXIT STATUS" || { echo "man -l does not render $page.1.gz: $text"; status=1; }
    fi
done
zcat "$scratch/root/usr/share/doc/quorvex/changelog.Debian.gz" 2>/dev/null | head -1 | grep -q "^quorvex ($version)" ||
    { echo "changelog.Debian.gz does not start with quorvex ($version)"; status=1; }
# The long description says more than its first line, in other words.
description=$(dpkg-deb -f "$deb" Description)
synopsis=$(echo "$description" | head -1)
long=$(echo "$description" | tail -n +2)
[ "$(echo "$long" | wc -l)" -ge 4 ] || { echo "the long description is too short: $long"; status=1; }
echo "$long" | tr -s ' \n' ' ' | grep -qiF "$synopsis" && { echo "the long description repeats the synopsis"; status=1; }
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || { echo "wrong version"; status=1; }
exit $status
