#!/bin/sh
# End-to-end batch throughput and peak memory of the real binary:
#   bench/batch_throughput.sh path/to/skybrant-cli
# Runs one million and four million pairs; peak memory should not grow.
set -eu
cli=${1:?usage: batch_throughput.sh path/to/skybrant-cli}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

make_pairs() {
    awk -v n="$1" 'BEGIN {
        srand(3)
        for (i = 0; i < n; i++) {
            printf "%d %d %d %s %d %d %d %s %d %d %d %s %d %d %d %s\n",
                int(rand()*90), int(rand()*60), int(rand()*60), (rand() < 0.5 ? "N" : "S"),
                int(rand()*180), int(rand()*60), int(rand()*60), (rand() < 0.5 ? "E" : "W"),
                int(rand()*90), int(rand()*60), int(rand()*60), (rand() < 0.5 ? "N" : "S"),
                int(rand()*180), int(rand()*60), int(rand()*60), (rand() < 0.5 ? "E" : "W")
        }
    }' > "$2"
}

for n in 1000000 4000000; do
    make_pairs "$n" "$dir/pairs"
    # Keep the input in the page cache so the run measures the program.
    cat "$dir/pairs" > /dev/null
    /usr/bin/time -f '%e %M' -o "$dir/time" taskset -c 0 "$cli" --batch < "$dir/pairs" > /dev/null
    read -r seconds peak_kb < "$dir/time"
    awk -v n="$n" -v s="$seconds" -v kb="$peak_kb" 'BEGIN {
        rate = (s > 0) ? n / s : 0
        printf "%d pairs: %.2f s, %.0f pairs/s, peak memory %.1f MB\n", n, s, rate, kb / 1024
    }'
done
