#!/bin/bash
# Start-up of skybrant-cli for every kind of run against a one-line --batch
# of the same program, median of 15 runs each, the runs taking turns:
#   bench/cli_startup.sh path/to/skybrant-cli [path/to/an-older/skybrant-cli]
# A single pair, --sun and --entity are each to be within 1.2 times the
# batch; --map at 1024 pixels is timed too, and against the older program's
# when one is given (built from another commit, its own files beside it).
set -euo pipefail
cli=${1:?usage: cli_startup.sh path/to/skybrant-cli [path/to/older/skybrant-cli]}
older=${2:-}
runs=15
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
echo "JO01 FN20" > "$dir/pair.txt"
export XDG_CONFIG_HOME=$dir/config

names=(batch pair sun entity map)
commands=("$cli --batch" "$cli JO01 FN20" "$cli JO01 FN20 --sun" "$cli JO01 FN20 --entity"
    "$cli JO01 FN20 --map $dir/new.png --size 1024")
if [ -n "$older" ]; then
    names+=(older-map)
    commands+=("$older JO01 FN20 --map $dir/old.png --size 1024")
fi

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

for i in "${!commands[@]}"; do
    ${commands[$i]} < "$dir/pair.txt" > /dev/null 2>&1 || true  # warm the page cache
done
for _ in $(seq "$runs"); do
    for i in "${!commands[@]}"; do
        start=$(date +%s%N)
        # shellcheck disable=SC2086
        taskset -c 0 ${commands[$i]} < "$dir/pair.txt" > /dev/null 2>&1 || true
        end=$(date +%s%N)
        awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f\n", (e - s) / 1e6 }' >> "$dir/${names[$i]}.ms"
    done
done

for n in "${names[@]}"; do
    median < "$dir/$n.ms" > "$dir/$n.median"
    printf '%-10s %8.2f ms wall clock (median of %d, one core)\n' "$n" "$(cat "$dir/$n.median")" "$runs"
done
for n in pair sun entity; do
    awk -v a="$(cat "$dir/$n.median")" -v b="$(cat "$dir/batch.median")" -v n="$n" \
        'BEGIN { printf "%-6s / one-line batch %.2f (target at most 1.20)\n", n, a / b }'
done
if [ -n "$older" ]; then
    awk -v a="$(cat "$dir/map.median")" -v b="$(cat "$dir/older-map.median")" \
        'BEGIN { printf "map / older map %.2f (target at most 1.00)\n", a / b }'
fi
