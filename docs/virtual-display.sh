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
