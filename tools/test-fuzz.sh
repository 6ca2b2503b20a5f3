#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (in build-fuzz) and runs each one for
# a bounded time: FUZZ_SECONDS per target (default 60). Fails on a crash, a
# sanitizer report, a leak, or an input that takes longer than 10 seconds.
#
# Before fuzzing, each target runs once over its committed regression inputs
# (tests/fuzz/regressions/<target>). The growing corpus is kept in
# build-fuzz/corpus/<target>; inputs that fail are written to
# build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${FUZZ_SECONDS:-60}
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
targets=(lines reader run document)

tools/setup.sh clang libclang-rt-14-dev
CXX=clang++ cmake -S . -B "$build" -DKW39_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target "${targets[@]/#/kw39_fuzz_}"

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

status=0
for t in "${targets[@]}"; do
    binary="$build/tests/fuzz/kw39_fuzz_$t"
    corpus="$build/corpus/$t"
    mkdir -p "$corpus"
    regressions="tests/fuzz/regressions/$t"
    if compgen -G "$regressions/*" >/dev/null; then
        echo "== $t: regression inputs"
        "$binary" -timeout=10 -rss_limit_mb=2048 "$regressions"/* || { status=1; continue; }
    fi
    echo "== $t: fuzzing for $seconds s"
    start=$(date +%s)
    if ! nice "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -dict=tests/fuzz/pca.dict -artifact_prefix="$build/findings/$t-" \
        -print_final_stats=1 "$corpus" "$seeds/$t" 2>"$build/$t.log"; then
        tail -n 60 "$build/$t.log"
        echo "!! $t failed; the input is in $build/findings/" >&2
        status=1
        continue
    fi
    grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$build/$t.log" || true
    echo "   $(($(date +%s) - start)) s, corpus $(ls "$corpus" | wc -l) inputs"
done
exit $status
