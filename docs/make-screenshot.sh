#!/bin/bash
# Makes docs/screenshot.png: the window on a virtual X display with the
# London to New York example typed in and computed, as a user would.
# Needs xvfb, xdotool and imagemagick; run after `make build`.
set -euo pipefail
cd "$(dirname "$0")/.."
app=build/dev/app/skybrant
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 800x600x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1
export DISPLAY=$display
"$app" 2>/dev/null &
app_pid=$!
sleep 1.5
xdotool windowfocus --sync "$(xdotool search --name '^Skybrant$' | head -1)"
k() { xdotool key --delay 40 "$@"; }
t() { xdotool type --delay 40 "$1"; }
# Own station 51 30 0 N, 0 7 0 W; other station 40 42 0 N, 74 0 0 W.
t 51; k Tab; t 30; k Tab; t 0; k Tab Tab; t 0; k Tab; t 7; k Tab; t 0; k Tab Down Down Tab
t 40; k Tab; t 42; k Tab; t 0; k Tab Tab; t 74; k Tab; t 0; k Tab; t 0; k Tab Down Down Tab
k space
sleep 0.8
import -window root -crop 504x467+0+0 docs/screenshot.png
kill "$app_pid"
