#!/bin/sh
# Runs each fuzz target for a while, starting from its committed seeds:
#   fuzz/run.sh BUILD_DIR SECONDS
# New inputs found go to a scratch corpus, not into the repository; a
# finding is kept in BUILD_DIR/findings and fails the run.
set -eu
build=$1
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
findings="$build/findings"
mkdir -p "$findings"
status=0
for target in box_reader batch_line compute; do
    scratch=$(mktemp -d)
    cp "$here/corpus/$target"/* "$scratch/"
    echo "fuzzing $target for $seconds s"
    if ! "$build/fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
            -artifact_prefix="$findings/${target}-" -print_final_stats=1 "$scratch" > "$build/$target.log" 2>&1; then
        echo "FINDING in $target; see $build/$target.log and $findings" >&2
        tail -30 "$build/$target.log" >&2
        status=1
    else
        grep -E '^(Done|stat::number_of_executed_units)' "$build/$target.log" | head -2
    fi
    rm -rf "$scratch"
done
exit $status
