#!/bin/sh
# Installs into a temporary prefix and runs what was installed.
#   install_test.sh BUILD_DIR
set -eu
build=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cmake --install "$build" --prefix "$dir/prefix" > /dev/null

# One program, with no Qt library linked; only its map module loads Qt.
if ldd "$dir/prefix/bin/skybrant-cli" | grep -q 'libQt'; then
    echo "installed skybrant-cli links Qt:"; ldd "$dir/prefix/bin/skybrant-cli"; exit 1
fi
[ "$(find "$dir/prefix" -name 'skybrant-cli*' -type f | wc -l)" = 3 ] ||
    { echo "installed skybrant-cli files:"; find "$dir/prefix" -name 'skybrant-cli*'; exit 1; }
out=$("$dir/prefix/bin/skybrant-cli" 51 30 0 N 0 7 0 W 40 42 0 N 74 0 0 W)
expected="Distance: 5539.2 km
Beam heading from my station: 288 degrees
Beam heading from the other station: 51 degrees"
[ "$out" = "$expected" ] || { echo "installed skybrant-cli printed: $out"; exit 1; }
out=$(echo "JO01 FN20" | "$dir/prefix/bin/skybrant-cli" --batch)
[ "$out" = "5690.9,289,51" ] || { echo "installed skybrant-cli --batch printed: $out"; exit 1; }
# A map is drawn by the module installed beside the program.
"$dir/prefix/bin/skybrant-cli" JO01 FN20 --map "$dir/map.png" --size 64 > /dev/null 2>&1 ||
    { echo "installed skybrant-cli drew no map"; exit 1; }
[ -s "$dir/map.png" ] || { echo "installed skybrant-cli wrote an empty map"; exit 1; }

shown=$(QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$dir/config" SKYBRANT_STARTUP_PROBE=quit \
        "$dir/prefix/bin/skybrant" 2>/dev/null)
case "$shown" in
    shown*) ;;
    *) echo "installed skybrant did not show its window: $shown"; exit 1 ;;
esac
[ -f "$dir/config/Skybrant/Skybrant.ini" ] || { echo "installed skybrant saved no station"; exit 1; }

for f in share/applications/org.skybrant.Skybrant.desktop share/metainfo/org.skybrant.Skybrant.metainfo.xml \
         share/icons/hicolor/scalable/apps/org.skybrant.Skybrant.svg \
         share/icons/hicolor/256x256/apps/org.skybrant.Skybrant.png share/skybrant/about.html \
         share/man/man1/skybrant-cli.1; do
    [ -f "$dir/prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
echo "installed and ran: skybrant-cli, skybrant"
