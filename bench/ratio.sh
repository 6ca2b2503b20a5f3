#!/usr/bin/env bash
# The whole program against the speed of reading: kw39pcaconv, spawned as a
# user runs it (the default run without --year, with --report), timed against
# a pass of `cat FILES | wc -l` over the same files in the same run, and its
# peak memory against the size of the input. Sets: 10,000 employees and
# 50,000 (5 times the employees), and a batch of 300 companies of 20
# employees each. Not a timed test: it states the figures for
# docs/benchmark.md and prints PASS/FAIL per target.
#
#   bench/ratio.sh [--runs N] [--program PATH]...
#
# Every --program is measured in turn (default: the kw39pcaconv built in
# build-bench), so that two builds can be compared under the same load.
# Builds kw39pcaconv, kw39gen and kw39peak in build-bench (Release, -j2); the
# sets are kept under build-bench/bench-data.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-bench"
data="$build/bench-data"
runs=5
programs=()
while [ $# -gt 0 ]; do
    case "$1" in
        --runs) runs="$2"; shift 2 ;;
        --program) programs+=("$(realpath -m "$2")"); shift 2 ;;
        *) echo "usage: bench/ratio.sh [--runs N] [--program PATH]..." >&2; exit 64 ;;
    esac
done

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
    "-DCMAKE_CXX_FLAGS_RELEASE=-O3 -DNDEBUG -g" >/dev/null
cmake --build "$build" --target kw39pcaconv kw39gen kw39peak -j2 >/dev/null
gen="$build/tools/gen/kw39gen"
peak="$build/bench/kw39peak"
[ ${#programs[@]} -gt 0 ] || programs=("$build/src/cli/kw39pcaconv")

# A set of `employees` with seed 1, written once (again when kw39gen changes).
ensure_set() {
    local dir=$1 employees=$2 seed=$3 stamp="$1/.generated"
    if [ ! -f "$stamp" ] || [ "$gen" -nt "$stamp" ] || [ "$(cat "$stamp")" != "seed $seed" ]; then
        echo "generating $dir..." >&2
        rm -rf "$dir"
        "$gen" --employees "$employees" --seed "$seed" --out "$dir" >/dev/null
        echo "seed $seed" >"$stamp"
    fi
}
ensure_set "$data/10000" 10000 1
ensure_set "$data/50000" 50000 1
batch="$data/batch-300x20"
if [ ! -f "$batch/.complete" ] || [ "$gen" -nt "$batch/.complete" ]; then
    echo "generating $batch..." >&2
    rm -rf "$batch"
    for i in $(seq 1 300); do
        dir=$(printf '%s/c%03d' "$batch" "$i")
        "$gen" --employees 20 --seed "$i" --out "$dir" >/dev/null
        # Each company of a batch has its own code (and so its own document).
        sed -i "s/^\"0001\",/\"$(printf '%04d' "$((i + 1000))")\",/" "$dir"/*.CSV
    done
    touch "$batch/.complete"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

now() { date +%s.%N; }
median() { sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
input_mb() { du -sbL --apparent-size "$1" | awk '{ printf "%.1f", $1 / 1e6 }'; }
check() { # target, value, limit
    local verdict=FAIL
    awk -v v="$2" -v l="$3" 'BEGIN { exit !(v <= l) }' && verdict=PASS
    echo "    $verdict  $1: $2"
}

# Seconds of `cat | wc -l` over the files of a set.
floor_once() {
    local files t0
    files=$(find "$1" -name '*.CSV' | sort)
    t0=$(now)
    # shellcheck disable=SC2086
    cat $files | wc -l >/dev/null
    echo "$(now) - $t0" | bc -l
}

# Seconds and peak RSS (KB) of one run of a program on a set.
program_once() {
    local program=$1 set=$2 dir=$3 t0 result
    rm -rf "$work/out" && mkdir -p "$work/out"
    t0=$(now)
    if [ "$set" = batch-300x20 ]; then
        result=$("$peak" "$program" --batch "$dir" --output-dir "$work/out" --yes --quiet \
            --report "$work/report.csv" 2>/dev/null)
    else
        result=$("$peak" "$program" --folder "$dir" --output "$work/out/out.xml" --yes --quiet \
            --report "$work/report.csv" 2>/dev/null)
    fi
    local seconds
    seconds=$(echo "$(now) - $t0" | bc -l)
    case $result in *" exit 0") ;; *) echo "run failed: $result ($program $set)" >&2; exit 1 ;; esac
    local kb=${result#peak_rss_kb }
    echo "$seconds ${kb%% *}"
}

sets=(10000 50000 batch-300x20)
echo "machine: $(nproc) cores, $(uname -srm); load before: $(cut -d' ' -f1-3 /proc/loadavg)"
# The runs of the line-count pass and of every program take turns, so that
# a change in the load of the machine touches all of them alike.
declare -A floors times peaks
for set in "${sets[@]}"; do
    dir="$data/$set"
    for _ in $(seq "$runs"); do
        floors[$set]+="$(floor_once "$dir") "
        for p in "${!programs[@]}"; do
            read -r seconds kb < <(program_once "${programs[$p]}" "$set" "$dir")
            times[$set,$p]+="$seconds "
            [ "${peaks[$set,$p]:-0}" -ge "$kb" ] || peaks[$set,$p]=$kb
        done
    done
done

for p in "${!programs[@]}"; do
    echo
    echo "program: ${programs[$p]} (medians of $runs runs)"
    echo "| set | input MB | cat\\|wc -l s | kw39pcaconv s | ratio | peak RSS MB | RSS/input |"
    echo "|---|---:|---:|---:|---:|---:|---:|"
    declare -A seconds ratio memory
    for set in "${sets[@]}"; do
        mb=$(input_mb "$data/$set")
        floor=$(echo "${floors[$set]}" | tr ' ' '\n' | grep . | median)
        seconds[$set]=$(echo "${times[$set,$p]}" | tr ' ' '\n' | grep . | median)
        ratio[$set]=$(echo "${seconds[$set]} / $floor" | bc -l)
        memory[$set]=$(echo "${peaks[$set,$p]} * 1024 / ($mb * 1000000)" | bc -l)
        printf '| %s | %s | %.3f | %.3f | %.1fx | %.1f | %.2f |\n' "$set" "$mb" "$floor" \
            "${seconds[$set]}" "${ratio[$set]}" "$(echo "${peaks[$set,$p]} / 1024" | bc -l)" \
            "${memory[$set]}"
    done
    check "10000 employees: at most 3x the line-count pass" "$(printf '%.2f' "${ratio[10000]}")" 3
    check "batch of 300 x 20: at most 4x the line-count pass" \
        "$(printf '%.2f' "${ratio[batch-300x20]}")" 4
    for set in "${sets[@]}"; do
        check "$set: peak RSS at most 1.2x the input" "$(printf '%.2f' "${memory[$set]}")" 1.2
    done
    check "50000 employees: at most 5.5x the time of 10000" \
        "$(printf '%.2f' "$(echo "${seconds[50000]} / ${seconds[10000]}" | bc -l)")" 5.5
done
echo
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
