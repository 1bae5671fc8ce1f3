#!/bin/bash
# Makes docs/rotator.png: the map window with its rotator panel turning
# Hamlib's dummy rotator (rotctld -m 1, started here on a loopback port and
# stopped again) along the short path to New York from London. Needs xvfb,
# xdotool, imagemagick and rotctld; run after `make build`. The settings live
# in a temporary folder, not the user's own.
set -euo pipefail
cd "$(dirname "$0")/.."
. docs/virtual-display.sh
port=$((20000 + RANDOM % 20000))
rotctld -m 1 -T 127.0.0.1 -t "$port" -C min_az=-180,max_az=180 >/dev/null 2>&1 &
rotctld_pid=$!
save_london "$(printf '[Rotator]\nAddress=127.0.0.1:%s\nPreset1Name=VK\nPreset1Target=QF56\nPreset2Name=JA\nPreset2Target=PM95\n' "$port")"
open_map_on_new_york
sleep 0.5
# The panel's Connect button, then the short path once the rotator answers.
xdotool mousemove --sync ${CONNECT_X:-1210} ${CONNECT_Y:-45} click 1
sleep 2
xdotool key ctrl+s
sleep ${TURN_SECONDS:-6}
import -window root -crop 1280x760+0+0 docs/rotator.png
kill "$app_pid" "$rotctld_pid"
wait "$app_pid" || true
wait "$rotctld_pid" || true
