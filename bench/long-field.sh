#!/usr/bin/env bash
# Peak memory of kw39pcaconv on inputs whose size lies in one line, in many
# short lines of a wide table, or in a file that is no text: the sample
# company with one employee whose address field is 100 MB or 300 MB long,
# 400,000 lines "E1,<n>" (3.9 MB) in the 157 columns of table 10702, and a
# monthly file of 1 GB or 8 GB that is no text, read without --year (the year
# would come from its payment dates).
# Not a timed test: it states what the program needs, for docs/benchmark.md.
#
#   bench/long-field.sh
#
# Builds kw39pcaconv and kw39peak in build-bench (Release, -j2); the inputs are
# written under build-bench/long-field and removed at the end.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-bench"
work="$build/long-field"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target kw39pcaconv kw39peak -j2 >/dev/null
program="$build/src/cli/kw39pcaconv"
peak="$build/bench/kw39peak"
trap 'rm -rf "$work"' EXIT

# A company folder: the sample company, with `employee` and `monthly` files.
company() {
    rm -rf "$work" && mkdir -p "$work/in" "$work/out"
    cp "$root"/samples/demo/*.CSV "$work/in/"
}

# kw39pcaconv on the company folder, with the given options; one table row.
measure() {
    local what=$1 input_mb=$2
    shift 2
    local result rss status
    result=$("$peak" "$program" --folder "$work/in" --output "$work/out/out.xml" --yes --quiet \
        "$@" 2>/dev/null)
    rss=$(echo "$result" | awk '{print $2}')
    status=$(echo "$result" | awk '{print $4}')
    printf '| %s | %s | %s | %s |\n' "$what" "$input_mb" \
        "$(awk -v kb="$rss" 'BEGIN { printf "%.1f", kb / 1024 }')" "$status"
}

echo "| input | input MB | peak RSS MB | exit status |"
echo "|---|---:|---:|---:|"
company
measure "the sample company" 0.03 --year 8
for mb in 100 300; do
    company
    {
        printf '[10601]\r\n9999,001,LONG,FIELD,,,,,,,,,'
        head -c "${mb}M" /dev/zero | tr '\0' 'A'
        printf '\r\n'
    } >>"$work/in/KOJINQ.CSV"
    measure "one address field of $mb MB" "$mb" --year 8
done
company
{
    printf '[10702]\r\n'
    seq 1 400000 | awk '{ printf "E1,%d\r\n", $1 }'
} >>"$work/in/GETUJIQ.CSV"
measure "400,000 short lines in table 10702" 3.9 --year 8
for gb in 1 8; do
    company
    # Sparse: NUL bytes that take no disk space, as good as any bytes that
    # are no text.
    truncate -s "${gb}G" "$work/in/GETUJIQ.CSV"
    measure "monthly file of $gb GB that is no text, no --year" "$((gb * 1024))"
done
