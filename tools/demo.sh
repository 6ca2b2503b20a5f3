#!/usr/bin/env bash
# Builds kw39pcaconv and converts the bundled sample company into its XML document.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DKW39_BUILD_TESTS=OFF >/dev/null
cmake --build build --target kw39pcaconv -j"$(nproc)" >/dev/null
mkdir -p out
build/src/cli/kw39pcaconv --folder samples/demo --year 8 --yes --output out/demo.xml
echo "Wrote $(pwd)/out/demo.xml"
