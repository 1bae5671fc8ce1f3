#!/bin/sh
# skybrant-cli --batch end to end against bench/reference_batch.c, a plain C
# program doing the same work, measured in the same run:
#   bench/batch_throughput.sh path/to/skybrant-cli [path/to/skybrant_reference_batch]
# The reference defaults to the one built beside skybrant-cli.
#
# Exits 1 when the two programs' output differs by a byte (or the threaded
# run differs from the one-core run), 2 when a target is missed.
# SKYBRANT_BENCH_PAIRS (default 1000000) sets the timed input size,
# SKYBRANT_BENCH_RUNS (default 5) the runs whose median is taken, and
# SKYBRANT_BENCH_BIG=0 leaves out the 10,000,000-line memory run.
set -eu
cli=${1:?usage: batch_throughput.sh path/to/skybrant-cli [path/to/reference]}
ref=${2:-$(dirname "$cli")/../bench/skybrant_reference_batch}
pairs=${SKYBRANT_BENCH_PAIRS:-1000000}
runs=${SKYBRANT_BENCH_RUNS:-5}
big=${SKYBRANT_BENCH_BIG:-1}
[ -x "$ref" ] || { echo "no reference program at $ref (build the target skybrant_reference_batch)" >&2; exit 1; }
dir=$(mktemp -d)
busy=
cleanup() {
    if [ -n "$busy" ]; then kill "$busy" 2>/dev/null || true; fi
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
failed=0

# Sixteen-field pairs: LAD LAM LAS N|S LOD LOM LOS E|W, twice.
make_dms() {
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

# Pairs of 6-character locators such as "JO01mm FN20xr".
make_locators() {
    awk -v n="$1" 'BEGIN {
        srand(4)
        up = "ABCDEFGHIJKLMNOPQR"; low = "abcdefghijklmnopqrstuvwx"
        for (i = 0; i < n; i++) {
            for (k = 0; k < 2; k++) {
                printf "%s%s%d%d%s%s%s", substr(up, int(rand()*18) + 1, 1), substr(up, int(rand()*18) + 1, 1),
                    int(rand()*10), int(rand()*10), substr(low, int(rand()*24) + 1, 1),
                    substr(low, int(rand()*24) + 1, 1), (k ? "\n" : " ")
            }
        }
    }' > "$2"
}

now_ns() { date +%s%N; }

# timed NAME COMMAND...: runs the command (stdin and stdout as the caller
# set them) and appends its wall-clock seconds to $dir/NAME and its CPU
# seconds (user and system) to $dir/NAME.cpu.
timed() {
    name=$1
    shift
    t0=$(now_ns)
    /usr/bin/time -f '%U %S' -o "$dir/cpu" "$@"
    t1=$(now_ns)
    echo "$t0 $t1" | awk '{ printf "%.6f\n", ($2 - $1) / 1e9 }' >> "$dir/$name"
    awk '{ printf "%.2f\n", $1 + $2 }' "$dir/cpu" >> "$dir/$name.cpu"
}

median() {
    sort -n "$dir/$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

verdict() {  # verdict OK-EXPRESSION(awk) TEXT
    if awk "BEGIN { exit !($1) }"; then
        echo "PASS  $2"
    else
        echo "FAIL  $2"
        [ "$failed" -ne 0 ] || failed=2
    fi
}

same_bytes() {  # same_bytes A B WHAT
    if cmp -s "$1" "$2"; then
        echo "same bytes: $3"
    else
        echo "OUTPUT DIFFERS: $3" >&2
        cmp "$1" "$2" >&2 || true
        exit 1
    fi
}

make_dms "$pairs" "$dir/dms"
make_locators "$pairs" "$dir/loc"
# Keep the inputs in the page cache so the runs measure the programs.
cat "$dir/dms" "$dir/loc" > /dev/null

# The threads skybrant-cli runs on a large input, seen while it runs.
threads=1
"$cli" --batch < "$dir/dms" > /dev/null &
pid=$!
for _ in 1 2 3 4 5 6 7 8 9 10; do
    sleep 0.05
    n=$(ls "/proc/$pid/task" 2>/dev/null | wc -l) || n=0
    [ "$n" -le "$threads" ] || threads=$n
done
wait "$pid" || true

for kind in dms loc; do
    taskset -c 0 "$ref" < "$dir/$kind" > "$dir/$kind.ref"
    taskset -c 0 "$cli" --batch < "$dir/$kind" > "$dir/$kind.cli" || true
    same_bytes "$dir/$kind.ref" "$dir/$kind.cli" "reference and skybrant-cli --batch, $pairs $kind pairs"
    "$cli" --batch < "$dir/$kind" > "$dir/$kind.cores" || true
    same_bytes "$dir/$kind.cli" "$dir/$kind.cores" "skybrant-cli --batch on one core and on all, $kind pairs"
    cat "$dir/$kind" | "$cli" --batch > "$dir/$kind.pipe" || true
    same_bytes "$dir/$kind.cli" "$dir/$kind.pipe" "skybrant-cli --batch from a file and from a pipe, $kind pairs"
    taskset -c 0 "$cli" --batch --json < "$dir/$kind" > "$dir/$kind.json1" || true
    "$cli" --batch --json < "$dir/$kind" > "$dir/$kind.json2" || true
    same_bytes "$dir/$kind.json1" "$dir/$kind.json2" "skybrant-cli --batch --json on one core and on all, $kind pairs"
    rm -f "$dir/$kind.ref" "$dir/$kind.cli" "$dir/$kind.cores" "$dir/$kind.pipe" "$dir/$kind.json1" "$dir/$kind.json2"
done

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
# The programs take turns, so that a change in the machine's load falls on
# all of them alike.
i=0
while [ "$i" -lt "$runs" ]; do
    for kind in dms loc; do
        timed "ref_$kind" taskset -c 0 "$ref" < "$dir/$kind" > /dev/null
        timed "one_$kind" taskset -c 0 "$cli" --batch < "$dir/$kind" > /dev/null
        timed "json_$kind" taskset -c 0 "$cli" --batch --json < "$dir/$kind" > /dev/null
        timed "all_$kind" "$cli" --batch < "$dir/$kind" > /dev/null
        timed "pipe_$kind" sh -c 'cat "$1" | "$2" --batch > /dev/null' sh "$dir/$kind" "$cli"
        timed "refall_$kind" "$ref" < "$dir/$kind" > /dev/null
    done
    i=$((i + 1))
done

echo
echo "$pairs pairs, median of $runs runs each, wall clock; skybrant-cli runs $threads thread(s)"
echo "load average before: $load_before; after: $(cut -d' ' -f1-3 /proc/loadavg)"
for kind in dms loc; do
    label=$([ "$kind" = dms ] && echo "DMS pairs" || echo "6-character locator pairs")
    r=$(median "ref_$kind"); o=$(median "one_$kind"); j=$(median "json_$kind")
    a=$(median "all_$kind"); p=$(median "pipe_$kind"); ra=$(median "refall_$kind")
    awk -v n="$pairs" -v r="$r" -v o="$o" -v j="$j" -v a="$a" -v p="$p" -v ra="$ra" -v what="$label" 'BEGIN {
        printf "%s:\n", what
        printf "  reference C program, one core   %8.3f s  %10.0f pairs/s\n", r, n / r
        printf "  skybrant-cli --batch, one core  %8.3f s  %10.0f pairs/s  %.2fx the reference\n", o, n / o, r / o
        printf "  skybrant-cli --batch --json     %8.3f s  %.2fx the time of plain --batch\n", j, j / o
        printf "  skybrant-cli --batch, all cores %8.3f s  %10.0f pairs/s  %.2fx the reference on one core\n", a, n / a, r / a
        printf "  the same from a pipe            %8.3f s  %10.0f pairs/s  %.2fx\n", p, n / p, r / p
        printf "  reference C program, all cores  %8.3f s\n", ra
    }'
    rc=$(median "ref_$kind.cpu"); oc=$(median "one_$kind.cpu"); jc=$(median "json_$kind.cpu")
    awk -v r="$rc" -v o="$oc" -v j="$jc" 'BEGIN {
        printf "  CPU time (user + system), one core: reference %.2f s, --batch %.2f s (%.2fx), --json %.2f s (%.2fx plain)\n",
            r, o, (o > 0 ? r / o : 0), j, (o > 0 ? j / o : 0)
    }'
    verdict "$r / $o >= 1.6" "$label: one core at least 1.6x the reference ($(awk "BEGIN { printf \"%.2f\", $r / $o }"))"
    verdict "$j / $o <= 2" "$label: --json at most 2x the time of plain --batch ($(awk "BEGIN { printf \"%.2f\", $j / $o }"))"
    if [ "$threads" -gt 1 ]; then
        verdict "$r / $a >= 2.5" "$label: both cores, file, at least 2.5x the reference ($(awk "BEGIN { printf \"%.2f\", $r / $a }"))"
        verdict "$r / $p >= 2.5" "$label: both cores, pipe, at least 2.5x the reference ($(awk "BEGIN { printf \"%.2f\", $r / $p }"))"
    fi
done
if [ "$threads" -le 1 ]; then
    echo "n/a   both cores: skybrant-cli runs one thread, so the two-core targets are not measured"
fi

# With the other core kept busy by a loop this script starts (and stops by
# its process id), letting the program use every core must not cost time.
if [ "$threads" -gt 1 ]; then
    taskset -c 1 sh -c 'while :; do :; done' &
    busy=$!
    i=0
    while [ "$i" -lt "$runs" ]; do
        timed busy_one taskset -c 0 "$cli" --batch < "$dir/dms" > /dev/null
        timed busy_all "$cli" --batch < "$dir/dms" > /dev/null
        i=$((i + 1))
    done
    kill "$busy"
    wait "$busy" 2>/dev/null || true
    busy=
    bo=$(median busy_one); ba=$(median busy_all)
    echo "other core busy: one core $bo s, all cores $ba s"
    # 5 % for the noise of a shared machine.
    verdict "$ba <= $bo * 1.05" "other core busy: all cores no slower than one ($(awk "BEGIN { printf \"%.2f\", $ba / $bo }"))"
fi

# Peak memory (/usr/bin/time %M, KiB) by input size and options; the larger
# inputs repeat the timed one rather than generating it again.
peak() {  # peak LINES OPTIONS...
    lines=$1
    shift
    if [ "$lines" -le "$pairs" ]; then
        head -n "$lines" "$dir/dms" > "$dir/part"
        /usr/bin/time -f %M -o "$dir/mem" "$cli" --batch "$@" < "$dir/part" > /dev/null || true
    else
        copies=$(( (lines + pairs - 1) / pairs ))
        # shellcheck disable=SC2016
        sh -c 'i=0; while [ "$i" -lt "$1" ]; do cat "$2"; i=$((i + 1)); done' sh "$copies" "$dir/dms" |
            /usr/bin/time -f %M -o "$dir/mem" "$cli" --batch "$@" > /dev/null || true
    fi
    tail -n 1 "$dir/mem"
}
sizes="1000 $pairs"
[ "$big" = 0 ] || sizes="$sizes 10000000"
echo
echo "peak memory (MB):"
most=0
for opts in "" "--json" "--long-path --ellipsoid --locator" "--long-path --ellipsoid --locator --json"; do
    line=""
    first=""
    last=""
    for n in $sizes; do
        # shellcheck disable=SC2086
        kb=$(peak "$n" $opts)
        [ -n "$first" ] || first=$kb
        last=$kb
        [ "$kb" -le "$most" ] || most=$kb
        line="$line $(awk -v n="$n" -v kb="$kb" 'BEGIN { printf "%d lines %.1f;", n, kb / 1024 }')"
    done
    echo "  --batch ${opts:-(no options)}:$line"
    verdict "$last - $first < 2048" "memory flat from 1,000 lines to the largest input, --batch $opts (+$(awk "BEGIN { printf \"%.1f\", ($last - $first) / 1024 }") MB)"
done
verdict "$most < 20 * 1024" "peak memory under 20 MB whatever the options ($(awk "BEGIN { printf \"%.1f\", $most / 1024 }") MB)"
[ "$big" = 0 ] && echo "(SKYBRANT_BENCH_BIG=0: the 10,000,000-line run was left out)"
exit "$failed"
