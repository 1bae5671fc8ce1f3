#!/bin/bash
# Start-up time (process start to the window's first paint) and peak memory
# of the calculator against two yardsticks, median of 21 runs each, the
# programs taking turns run by run:
#   bench/startup.sh build/dev
# - an empty Qt Widgets window;
# - the same window with one label, which loads the font system as every
#   window with text must.
# Uses the current display, or a virtual one (Xvfb) when there is none.
set -euo pipefail
build=${1:?usage: startup.sh BUILD_DIR}
runs=21
names=(skybrant empty-window window-with-label)
commands=("$build/app/skybrant" "$build/bench/skybrant_minimal_window" "$build/bench/skybrant_minimal_window --label")

dir=$(mktemp -d)
cleanup() {
    rm -rf "$dir"
    if [ -n "${xvfb:-}" ]; then kill "$xvfb" 2>/dev/null || true; fi
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    display=:$((100 + RANDOM % 100))
    Xvfb "$display" -screen 0 800x600x24 >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=$display
    sleep 1
fi
export SKYBRANT_STARTUP_PROBE=quit
export XDG_CONFIG_HOME=$dir/config

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

for i in "${!commands[@]}"; do
    ${commands[$i]} > /dev/null 2>&1 || true  # warm the page cache
done
for _ in $(seq "$runs"); do
    for i in "${!commands[@]}"; do
        start=$(date +%s%N)
        # shellcheck disable=SC2086
        shown=$(/usr/bin/time -f '%M' -o "$dir/time" ${commands[$i]} 2>/dev/null | awk '/^shown/ { print $2 }')
        awk -v s="$start" -v e="$shown" 'BEGIN { printf "%.3f\n", (e - s) / 1e6 }' >> "$dir/${names[$i]}.ms"
        cat "$dir/time" >> "$dir/${names[$i]}.kb"
    done
done

for n in "${names[@]}"; do
    median < "$dir/$n.ms" > "$dir/$n.ms.median"
    median < "$dir/$n.kb" > "$dir/$n.kb.median"
    printf '%-18s %7.1f ms to the first paint, peak memory %5.1f MB (median of %d)\n' "$n" \
        "$(cat "$dir/$n.ms.median")" "$(awk '{ print $1 / 1024 }' "$dir/$n.kb.median")" "$runs"
done
for n in empty-window window-with-label; do
    awk -v a="$(cat "$dir/skybrant.ms.median")" -v b="$(cat "$dir/$n.ms.median")" \
        -v c="$(cat "$dir/skybrant.kb.median")" -v d="$(cat "$dir/$n.kb.median")" -v n="$n" \
        'BEGIN { printf "skybrant / %-18s time %.2f, memory %.2f (targets 1.20 and 1.15)\n", n, a / b, c / d }'
done
