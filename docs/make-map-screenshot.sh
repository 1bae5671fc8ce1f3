#!/bin/bash
# Makes docs/map.png: the map window opened alone (skybrant --map) on a
# virtual X display, the own station London as saved, New York typed into
# the other station's field. Needs xvfb, xdotool and imagemagick; run after
# `make build`. The settings live in a temporary folder, not the user's own.
set -euo pipefail
cd "$(dirname "$0")/.."
. docs/virtual-display.sh
save_london
open_map_on_new_york
sleep 1
import -window root -crop 1280x760+0+0 docs/map.png
kill "$app_pid"
wait "$app_pid" || true
