#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (in build-fuzz) and runs each one for
# a bounded time: FUZZ_SECONDS per target (default 20, enough to replay the
# corpus and explore a little on every test run; FUZZ_SECONDS=600 for a long
# hunt), FUZZ_JOBS targets at a time (default: the number of cores). Fails on a
# crash, a sanitizer report, a leak, or an input that takes longer than 10
# seconds.
#
# Before fuzzing, each target runs once over its committed regression inputs
# (tests/fuzz/regressions/<target>). The growing corpus is kept in
# build-fuzz/corpus/<target>; inputs that fail are written to
# build-fuzz/findings/.
#
#   tools/test-fuzz.sh --build-only   only the build (tools/test.sh builds while
#                                     other suites build, and fuzzes later)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build_only=false
[ "${1:-}" = --build-only ] && build_only=true
seconds=${FUZZ_SECONDS:-20}
jobs=${FUZZ_JOBS:-$(nproc)}
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
targets=(lines reader run document)

tools/setup.sh --tests clang libclang-rt-14-dev
# Optimised as for any fuzzing; line tables are all a crash report needs.
CXX=clang++ cmake -S . -B "$build" -DKW39_FUZZ=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -gline-tables-only -DNDEBUG" \
    >/dev/null
cmake --build "$build" -j2 --target "${targets[@]/#/kw39_fuzz_}"
$build_only && exit 0

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

# Seeds: the sample company and the test fixtures; for the run target the six
# sample files joined by its separator, for the document target a few bytes.
seeds="$build/seeds"
rm -rf "$seeds"
mkdir -p "$seeds"/{lines,reader,run,document} "$build/findings"
for f in samples/demo/*.CSV tests/data/pca/* tests/data/bad/*.csv tests/data/bad/*.bin; do
    [ -f "$f" ] || continue
    cp "$f" "$seeds/lines/"
    cp "$f" "$seeds/reader/"
done
demo=(KAISHAQ NOUFUQ BUMONQ KOJINQ GETUJIQ NENCHOUQ)
{
    for i in "${!demo[@]}"; do
        [ "$i" -gt 0 ] && printf '\n####\n'
        cat "samples/demo/${demo[$i]}.CSV"
    done
} >"$seeds/run/demo"
{
    cat samples/demo/KAISHAQ.CSV
    printf '\n####\n\n####\n\n####\n'
    cat samples/demo/KOJINQ.CSV
} >"$seeds/run/mandatory-only"
printf 'x' >"$seeds/document/one"
head -c 4096 samples/demo/KOJINQ.CSV >"$seeds/document/text"

# One target: its regression inputs, then fuzzing; the outcome in $build/$t.result.
fuzz_one() {
    local t=$1
    local binary="$build/tests/fuzz/kw39_fuzz_$t"
    local corpus="$build/corpus/$t"
    local log="$build/$t.log"
    mkdir -p "$corpus"
    : >"$log"
    local regressions="tests/fuzz/regressions/$t"
    if compgen -G "$regressions/*" >/dev/null; then
        if ! "$binary" -timeout=10 -rss_limit_mb=2048 "$regressions"/* >>"$log" 2>&1; then
            echo "!! $t: a regression input failed" >"$build/$t.result"
            return
        fi
    fi
    local start
    start=$(date +%s)
    if ! nice "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -dict=tests/fuzz/pca.dict -artifact_prefix="$build/findings/$t-" \
        -print_final_stats=1 "$corpus" "$seeds/$t" >>"$log" 2>&1; then
        echo "!! $t failed; the input is in $build/findings/" >"$build/$t.result"
        return
    fi
    {
        echo "== $t: fuzzed for $seconds s"
        grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$log" || true
        echo "   $(($(date +%s) - start)) s, corpus $(ls "$corpus" | wc -l) inputs"
    } >"$build/$t.result"
}

running=0
for t in "${targets[@]}"; do
    echo "!! $t did not finish" >"$build/$t.result"
    fuzz_one "$t" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait -n || true
        running=$((running - 1))
    fi
done
wait

status=0
for t in "${targets[@]}"; do
    cat "$build/$t.result"
    if grep -q '^!!' "$build/$t.result"; then
        tail -n 60 "$build/$t.log"
        status=1
    fi
done
exit $status
