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
    ./usr/share/quorvex/Templates/DVD.lst; do
    grep -qx "$f" "$scratch/files" || { echo "package lacks $f"; status=1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libstdc++6 libqt6widgets6 libcsv3; do
    echo "$depends" | grep -q "$lib" || { echo "Depends lacks $lib: $depends"; status=1; }
done
[ "$(dpkg-deb -f "$deb" Package)" = quorvex ] || { echo "wrong package name"; status=1; }
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || { echo "wrong version"; status=1; }
exit $status
