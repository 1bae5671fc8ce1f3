#!/bin/sh
# Records the corpus: the input from make_input.py and the output of the
# skybrant-cli given for every option set in option_sets.txt, all xz
# compressed. Run once; the batch corpus test compares later programs with it.
#
#     sh record.sh path/to/skybrant-cli
set -eu
cli=$1
here=$(dirname "$0")
cty=/usr/share/hamradio-files/cty.dat
python3 "$here/make_input.py" > "$here/input.txt"
grep -v '^#' "$here/option_sets.txt" | while read -r name options; do
    # shellcheck disable=SC2086  # the options are words
    status=0
    "$cli" --batch --cty "$cty" $options < "$here/input.txt" > "$here/$name.out" || status=$?
    echo "$name: exit $status, $(wc -l < "$here/$name.out") lines"
    xz -9 -f "$here/$name.out"
done
xz -9 -f "$here/input.txt"
