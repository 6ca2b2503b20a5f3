#!/usr/bin/env bash
# Cross-builds the Windows programs on Linux with MinGW-w64 into build-win:
# Kw39PCAConv.exe (the desktop program) and kw39pcaconv.exe (the console
# program), then gathers them with ONLINEHELP.PDF in build-win/dist and packs
# what is shipped (both programs, ONLINEHELP.PDF, README.TXT) into
# build-win/Kw39PCAConv-<version>-win64.zip.
# Extra arguments go to the CMake configure step (e.g. -DKW39_APP_TESTS=ON).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${KW39_WIN_BUILD_DIR:-build-win}
jobs=${KW39_JOBS:-2}

if ! command -v x86_64-w64-mingw32-g++ >/dev/null; then
    echo "MinGW-w64 is missing. Run: apt-get install g++-mingw-w64-x86-64 (or tools/test-windows.sh as root)" >&2
    exit 1
fi

cmake -S . -B "$build" \
    -DCMAKE_TOOLCHAIN_FILE="$(pwd)/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DKW39_BUILD_TESTS=OFF \
    -DKW39_BUILD_TOOLS=OFF \
    "$@" >/dev/null
targets=(Kw39PCAConv kw39pcaconv)
if grep -q '^KW39_APP_TESTS:BOOL=ON' "$build/CMakeCache.txt"; then
    targets+=(kw39_app_tests kw39_app_driver)
fi
cmake --build "$build" --target "${targets[@]}" -j"$jobs"

mkdir -p "$build/dist"
cp "$build/src/app/Kw39PCAConv.exe" "$build/src/cli/kw39pcaconv.exe" docs/ONLINEHELP.PDF "$build/dist/"
cpack -G ZIP --config "$build/CPackConfig.cmake" -B "$build" >/dev/null
rm -rf "$build/_CPack_Packages"
echo "Windows programs in $(pwd)/$build/dist, to ship: $(ls "$(pwd)/$build"/Kw39PCAConv-*-win64.zip)"
