#!/bin/sh
# Renders the icon's PNG sizes from its one SVG source (needs librsvg2-bin).
# The PNGs are committed, so building needs no SVG renderer.
set -eu
cd "$(dirname "$0")"
for size in 32 48 128 256; do
    rsvg-convert -w "$size" -h "$size" skybrant.svg -o "skybrant-$size.png"
done
