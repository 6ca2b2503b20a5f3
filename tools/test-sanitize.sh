#!/usr/bin/env bash
# Builds the product and its tests with AddressSanitizer and
# UndefinedBehaviorSanitizer (in build-sanitize) and runs the whole test suite
# of the product. Fails on a failed test and on any sanitizer report, leaks
# included, also one from a program that a test started (reports are written to
# build-sanitize/sanitizer-reports/ and shown). The data generator and the
# benchmark, tools around the product, are left to the native suite; line
# tables (-g1) are all a report needs; each test program is compiled as a few
# combined units (a unity build), which saves parsing the same headers again.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${SANITIZE_BUILD_DIR:-build-sanitize}
jobs=${JOBS:-2}

tools/setup.sh --tests
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DKW39_SANITIZE=ON \
    -DKW39_BUILD_TOOLS=OFF -DKW39_UNITY_TESTS=ON >/dev/null

reports="$(cd "$build" && pwd)/sanitizer-reports"
rm -rf "$reports"
mkdir -p "$reports"
# Also for the build: test discovery runs every test program once.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:log_path=$reports/asan"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$reports/ubsan"
export LSAN_OPTIONS="log_path=$reports/lsan"

start=$(date +%s)
cmake --build "$build" -j"$jobs"
built=$(date +%s)
status=0
ctest --test-dir "$build" --output-on-failure -j"$jobs" --timeout 900 || status=1
finished=$(date +%s)

if compgen -G "$reports/*" >/dev/null; then
    echo "Sanitizer reports:" >&2
    for report in "$reports"/*; do
        echo "--- $report" >&2
        cat "$report" >&2
    done
    status=1
fi
echo "build $((built - start)) s, tests $((finished - built)) s"
exit $status
