#!/bin/bash
# Makes docs/map.png: the map window opened alone (skybrant --map) on a
# virtual X display, the own station London as saved, New York typed into
# the other station's field. Needs xvfb, xdotool and imagemagick; run after
# `make build`. The settings live in a temporary folder, not the user's own.
set -euo pipefail
cd "$(dirname "$0")/.."
. docs/virtual-display.sh
mkdir -p "$config/Skybrant"
printf '[Latitude]\nDegree=51\nMinute=30\nSecond=0\nN/S=N\n[Longitude]\nDegree=0\nMinute=7\nSecond=0\nE/W=W\n' \
    >"$config/Skybrant/Skybrant.ini"
"$app" --map 2>/dev/null &
app_pid=$!
window=$(xdotool search --sync --name '^Skybrant map$' | head -1)
xdotool windowmove --sync "$window" 0 0
xdotool windowfocus --sync "$window"
sleep 1.5
xdotool type --delay 40 'FN30as'
xdotool key Return
sleep 1
import -window root -crop 1280x760+0+0 docs/map.png
kill "$app_pid"
wait "$app_pid" || true
