#!/bin/sh
# Runs the fuzz targets side by side for a while, each starting from its
# committed seeds:
#   fuzz/run.sh BUILD_DIR SECONDS
# New inputs found go to scratch corpora, not into the repository; a
# finding is kept in BUILD_DIR/findings and fails the run.
set -eu
build=$1
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
findings="$build/findings"
mkdir -p "$findings"
targets="box_reader batch_line compute locator country_file callsign ini rotator_reply wsjtx js8call n1mm pst cluster_line adif"
pids=""
for target in $targets; do
    scratch="$build/corpus-$target"
    rm -rf "$scratch"
    mkdir -p "$scratch"
    cp "$here/corpus/$target"/* "$scratch/"
    "$build/fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$findings/${target}-" -print_final_stats=1 "$scratch" > "$build/$target.log" 2>&1 &
    pids="$pids $!"
done
echo "fuzzing $targets for $seconds s each"
status=0
set -- $pids
for target in $targets; do
    if wait "$1"; then
        echo "$target: $(grep -E '^Done' "$build/$target.log" || true)"
    else
        echo "FINDING in $target; see $build/$target.log and $findings" >&2
        tail -30 "$build/$target.log" >&2
        status=1
    fi
    shift
done
exit $status
