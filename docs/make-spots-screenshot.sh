#!/bin/bash
# Makes docs/spots.png: the map window with the Cluster tab open, its spots
# from a DX cluster written for the picture (docs/fake-cluster.py, on a
# loopback port, started here and stopped again) drawn on the map, and the
# dots of a small log of worked stations. Needs xvfb, xdotool, imagemagick
# and python3; run after `make build`. The settings live in a temporary
# folder, not the user's own.
set -euo pipefail
cd "$(dirname "$0")/.."
. docs/virtual-display.sh
port=$((20000 + RANDOM % 20000))
python3 docs/fake-cluster.py "$port" &
cluster_pid=$!
log="$config/worked.adi"
{
    printf 'Worked for the picture <ADIF_VER:5>3.1.4 <EOH>\n'
    for qso in "W1AW FN31 20m FT8" "JA1ABC PM95 20m FT8" "VK2ABC QF56 40m CW" "PY2ABC GG66 15m FT8" \
        "ZS1ABC JF96 17m FT8" "4X1AB KM72 40m SSB" "UA9ABC MO05 20m CW" "KH6AB BL11 10m FT8" "TF3AB HP94 30m FT8"; do
        set -- $qso
        printf '<CALL:%d>%s <GRIDSQUARE:%d>%s <BAND:%d>%s <MODE:%d>%s <QSO_DATE:8>20261201 <TIME_ON:4>1800 <EOR>\n' \
            ${#1} "$1" ${#2} "$2" ${#3} "$3" ${#4} "$4"
    done
} >"$log"
save_london "$(printf '[Cluster]\nAddress=127.0.0.1:%s\nCallsign=G4ABC\nConnect=true\n[Log]\nFile=%s\n' "$port" "$log")"
open_map_on_new_york
sleep 0.5
# The Cluster tab, then time for the spots to arrive.
xdotool mousemove --sync ${CLUSTER_TAB_X:-1050} ${CLUSTER_TAB_Y:-24} click 1
xdotool mousemove --sync 5 740
sleep 3
import -window root -crop 1280x760+0+0 docs/spots.png
kill "$app_pid" "$cluster_pid"
wait "$app_pid" || true
wait "$cluster_pid" || true
