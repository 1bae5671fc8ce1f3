#!/bin/sh
# Renders the window icon from its SVG source (needs librsvg2-bin).
set -eu
cd "$(dirname "$0")"
rsvg-convert -w 32 -h 32 skybrant.svg -o skybrant-32.png
