#!/bin/bash
# Makes docs/screenshot.png and docs/screenshot-scale2.png: the window on a
# virtual X display with the London to New York example typed in and
# computed, as a user would, at scale 1 and at scale 2 (QT_SCALE_FACTOR).
# Needs xvfb, xdotool and imagemagick; run after `make build`. The window
# keeps its settings in a temporary folder, not in the user's own.
set -euo pipefail
cd "$(dirname "$0")/.."
. docs/virtual-display.sh

k() { xdotool key --delay 40 "$@"; }
t() { xdotool type --delay 40 "$1"; }

# shot SCALE OUTPUT: one run of the window at QT_SCALE_FACTOR=SCALE.
shot() {
    rm -rf "${config:?}/Skybrant"
    QT_SCALE_FACTOR=$1 "$app" 2>/dev/null &
    local app_pid=$!
    sleep 1.5
    local window
    window=$(xdotool search --sync --name '^Skybrant$' | head -1)
    xdotool windowmove --sync "$window" 0 0
    xdotool windowfocus --sync "$window"
    # Own station 51 30 0 N, 0 7 0 W; other station 40 42 0 N, 74 0 0 W.
    # A first run restores empty hemisphere boxes: Down picks the first
    # item, a second Down the second.
    t 51; k Tab; t 30; k Tab; t 0; k Tab Down Tab; t 0; k Tab; t 7; k Tab; t 0; k Tab Down Down Tab
    t 40; k Tab; t 42; k Tab; t 0; k Tab Tab; t 74; k Tab; t 0; k Tab; t 0; k Tab Down Down Tab
    k space
    sleep 0.8
    import -window root -crop "$((504 * $1))x$((467 * $1))+0+0" "$2"
    kill "$app_pid"
    wait "$app_pid" || true
}

shot 1 docs/screenshot.png
shot 2 docs/screenshot-scale2.png
