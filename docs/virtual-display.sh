# Sourced by the screenshot scripts: a private virtual X display and a
# temporary settings folder, so the user's own saved station is never touched.
# Both go away when the script ends.
app=build/dev/app/skybrant
display=:$((90 + RANDOM % 100))
config=$(mktemp -d)
Xvfb "$display" -screen 0 1280x1024x24 >"$config/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$config"' EXIT
sleep 1
export DISPLAY=$display XDG_CONFIG_HOME=$config

# London saved as the own station; extra INI text (a further section) may
# follow as the first argument.
save_london() {
    mkdir -p "$config/Skybrant"
    printf '[Latitude]\nDegree=51\nMinute=30\nSecond=0\nN/S=N\n[Longitude]\nDegree=0\nMinute=7\nSecond=0\nE/W=W\n%s' \
        "${1:-}" >"$config/Skybrant/Skybrant.ini"
}

# The map window opened alone at the top left, New York typed into the
# other station's field; its PID in app_pid.
open_map_on_new_york() {
    "$app" --map 2>/dev/null &
    app_pid=$!
    window=$(xdotool search --sync --name '^Skybrant map$' | head -1)
    xdotool windowmove --sync "$window" 0 0
    xdotool windowfocus --sync "$window"
    sleep 1.5
    xdotool type --delay 40 'FN30as'
    xdotool key Return
}
