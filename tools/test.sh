#!/usr/bin/env bash
# Builds everything and runs every test: the native suite, the same suite under
# AddressSanitizer and UndefinedBehaviorSanitizer (tools/test-sanitize.sh),
# each fuzz target for a bounded time (tools/test-fuzz.sh), and the Windows
# programs under Wine (tools/test-windows.sh).
#
# The four builds share no object file (g++, g++ with the sanitizers, clang
# with libFuzzer, MinGW), so they run side by side and keep the cores busy
# while one of them configures, links or runs its tests. The Windows build
# starts first, so that its Wine tests, which mostly wait for windows, overlap
# the other builds. Fuzzing runs for a fixed time, so it starts
# only when the other builds are done and it has the cores (beside the waiting
# Wine tests).
#
# Each phase writes its output to build-logs/<phase>.log; the log of a phase
# that failed is shown at the end. The exit status is 0 only when all passed.
set -uo pipefail
cd "$(dirname "$0")/.."
logs=build-logs
jobs=$(nproc)
started=$(date +%s)

tools/setup.sh --tests clang libclang-rt-14-dev || exit 1
rm -rf "$logs"
mkdir -p "$logs"

native() {
    # Release: the configuration that is shipped. The test programs are
    # unity builds, as in tools/test-sanitize.sh.
    cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Release -DKW39_UNITY_TESTS=ON >/dev/null &&
        cmake --build build-test -j"$jobs" &&
        ctest --test-dir build-test --output-on-failure -j"$jobs"
}

# phase NAME COMMAND...: runs in the background, its log and its outcome in
# build-logs/NAME.{log,result}.
phase() {
    local name=$1
    shift
    (
        start=$(date +%s)
        echo "== $name: started" >&2
        if "$@" >"$logs/$name.log" 2>&1; then outcome=passed; else outcome=FAILED; fi
        # The processor time of the phase (user + system, all its processes):
        # unlike the wall time, it hardly depends on what else runs.
        times >"$logs/$name.times"
        cpu=$(awk 'NR == 2 { split($1 " " $2, t, /[ms ]+/); print int(t[1] * 60 + t[2] + t[3] * 60 + t[4]) }' \
            "$logs/$name.times")
        echo "$outcome $(($(date +%s) - start)) $cpu" >"$logs/$name.result"
        echo "== $name: $outcome after $(($(date +%s) - start)) s" >&2
    ) &
}

phase windows tools/test-windows.sh
windows=$!
phase native native
native_pid=$!
phase sanitize tools/test-sanitize.sh
sanitize=$!
phase fuzz-build tools/test-fuzz.sh --build-only
fuzz_build=$!

wait "$native_pid" "$sanitize" "$fuzz_build"
if grep -q passed "$logs/fuzz-build.result"; then
    phase fuzz tools/test-fuzz.sh
    wait $!
fi
wait "$windows"

status=0
echo "Phases (they overlap; wall-clock and processor seconds):"
for name in native sanitize fuzz-build fuzz windows; do
    if [ ! -f "$logs/$name.result" ]; then
        printf '  %-10s not run\n' "$name"
        status=1
        continue
    fi
    read -r outcome seconds cpu <"$logs/$name.result"
    printf '  %-10s %-6s %4d s  CPU %4d s   %s\n' "$name" "$outcome" "$seconds" "$cpu" "$logs/$name.log"
    if [ "$outcome" != passed ]; then
        status=1
        echo "---- $logs/$name.log (last 80 lines)"
        tail -n 80 "$logs/$name.log"
        echo "----"
    fi
done
echo "tools/test.sh: $([ $status -eq 0 ] && echo 'all passed' || echo FAILED) in $(($(date +%s) - started)) s"
exit $status
