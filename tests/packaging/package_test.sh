#!/bin/sh
# Builds the Debian package and checks what it holds and needs.
#   package_test.sh BUILD_DIR
set -eu
build=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$dir" > "$dir/cpack.log" 2>&1 || { cat "$dir/cpack.log"; exit 1; }
deb=$(ls "$dir"/skybrant_*.deb)
dpkg-deb -c "$deb" | awk '{ print $6 }' > "$dir/files"
for f in ./usr/bin/skybrant ./usr/bin/skybrant-cli ./usr/share/applications/org.skybrant.Skybrant.desktop \
         ./usr/share/metainfo/org.skybrant.Skybrant.metainfo.xml \
         ./usr/share/icons/hicolor/scalable/apps/org.skybrant.Skybrant.svg \
         ./usr/share/icons/hicolor/32x32/apps/org.skybrant.Skybrant.png \
         ./usr/share/icons/hicolor/48x48/apps/org.skybrant.Skybrant.png \
         ./usr/share/icons/hicolor/128x128/apps/org.skybrant.Skybrant.png \
         ./usr/share/icons/hicolor/256x256/apps/org.skybrant.Skybrant.png \
         ./usr/share/skybrant/about.html ./usr/share/man/man1/skybrant-cli.1 ./usr/share/doc/skybrant/copyright; do
    grep -qx "$f" "$dir/files" || { echo "missing from $(basename "$deb"): $f"; exit 1; }
done
grep -q '^\./usr/lib/.*skybrant/skybrant-cli-map\.so$' "$dir/files" ||
    { echo "missing from $(basename "$deb"): skybrant-cli's map module"; exit 1; }
# One program and its map module: nothing else of skybrant-cli's.
[ "$(grep -c 'skybrant-cli' "$dir/files")" = 3 ] ||
    { echo "$(basename "$deb") holds other skybrant-cli files:"; grep skybrant-cli "$dir/files"; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libqt6network6 libqt6svg6 libgeographiclib libc6 libstdc++6; do
    echo "$depends" | grep -q "$lib" || { echo "Depends lacks $lib: $depends"; exit 1; }
done
recommends=$(dpkg-deb -f "$deb" Recommends)
echo "$recommends" | grep -q hamradio-files || { echo "Recommends lacks hamradio-files: $recommends"; exit 1; }
echo "$recommends" | grep -q xplanet-images || { echo "Recommends lacks xplanet-images: $recommends"; exit 1; }
suggests=$(dpkg-deb -f "$deb" Suggests)
[ "$suggests" = libhamlib-utils ] || { echo "Suggests is not libhamlib-utils: $suggests"; exit 1; }
echo "$(basename "$deb"): all files present; Depends: $depends"
