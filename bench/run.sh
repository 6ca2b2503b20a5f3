#!/usr/bin/env bash
# Builds kw39gen and kw39bench (Release, with symbols for profiling),
# generates the benchmark sets once (cached under the build folder, written
# again when the generator changes) and runs the benchmark, then the whole
# program against a line-count pass (bench/ratio.sh).
#
#   bench/run.sh [kw39bench options, e.g. --sizes 1000,10000 --runs 3]
#   bench/run.sh --profile   # perf profile of one conversion of the 1,000 set
#
# The build folder is build-bench beside the sources; -j2 at most.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-bench"
data="$build/bench-data"
seed=1
sizes=1000,10000,50000
profile=no

args=()
while [ $# -gt 0 ]; do
    case "$1" in
        --profile) profile=yes; shift ;;
        --sizes) sizes="$2"; args+=("$1" "$2"); shift 2 ;;
        *) args+=("$1"); shift ;;
    esac
done
if [ "$profile" = yes ]; then sizes=1000; fi

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
    "-DCMAKE_CXX_FLAGS_RELEASE=-O3 -DNDEBUG -g" >/dev/null
cmake --build "$build" --target kw39gen kw39bench -j2 >/dev/null

gen="$build/tools/gen/kw39gen"
for n in ${sizes//,/ }; do
    dir="$data/$n"
    stamp="$dir/.generated"
    if [ ! -f "$stamp" ] || [ "$gen" -nt "$stamp" ] || [ "$(cat "$stamp")" != "seed $seed" ]; then
        echo "generating $n employees..." >&2
        rm -rf "$dir"
        "$gen" --employees "$n" --seed "$seed" --out "$dir" >/dev/null
        echo "seed $seed" >"$stamp"
    fi
done

bench="$build/bench/kw39bench"
if [ "$profile" = yes ]; then
    # Flat profile (self time per function) of one whole run, input checks
    # included; a high rate gives enough samples from a run this short.
    perf record -F 20000 -o "$build/perf.data" "$bench" --data "$data" --one 1000 --runs 1 \
        >/dev/null 2>&1
    perf report -i "$build/perf.data" --stdio --no-children -F overhead,dso,sym -g none \
        --percent-limit 0.5 2>/dev/null | grep -v '^#' | grep -v '^$' | sed 's/ *$//' |
        cut -c1-150 | head -60
    exit 0
fi

echo "machine: $(nproc) cores, $(uname -srm); load before the run: $(cut -d' ' -f1-3 /proc/loadavg)"
"$bench" --data "$data" ${args[@]+"${args[@]}"}
echo "load after the run: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
"$root/bench/ratio.sh"
