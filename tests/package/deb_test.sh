#!/bin/sh
# deb_test.sh CPACK BUILD_DIR SCRATCH SOURCE_DIR VERSION
# Packs the build with CPack, unpacks the .deb with dpkg -x into a scratch
# root, converts the sample company with the program from there and compares
# the document with the hand-checked one. The manual page in the package must
# render cleanly and describe every option the packaged program's --help names.
set -eu
cpack=$1 build=$2 scratch=$3 source=$4 version=$5
fail() { echo "FAILED: $*" >&2; exit 1; }

rm -rf "$scratch"
mkdir -p "$scratch"
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$scratch"/kw39pcaconv_*.deb)
[ "$(dpkg-deb -f "$deb" Package)" = kw39pcaconv ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version"
dpkg-deb -f "$deb" Depends | grep -q libc6 || fail "no library dependencies"

root=$scratch/root
dpkg -x "$deb" "$root"
program=$root/usr/bin/kw39pcaconv
page=$root/usr/share/man/man1/kw39pcaconv.1
[ -x "$program" ] || fail "no usr/bin/kw39pcaconv in the package"
[ -f "$page" ] || fail "no manual page in the package"

# Run from an unrelated folder: nothing may depend on the build tree.
mkdir -p "$scratch/work"
cd "$scratch/work"
"$program" --folder "$source/samples/demo" --year 8 --yes --output demo.xml 2>messages.txt ||
    { cat messages.txt >&2; fail "the packaged program did not convert the sample"; }
cmp demo.xml "$source/tests/data/e2e/demo-standard.xml" ||
    fail "the packaged program's document differs from tests/data/e2e/demo-standard.xml"

if command -v groff >/dev/null; then
    warnings=$(LC_ALL=C.UTF-8 groff -k -man -Tutf8 -ww -z "$page" 2>&1)
    [ -z "$warnings" ] || fail "the manual page does not render cleanly: $warnings"
fi
"$program" --help >help.txt
options=$(grep -o -- '--[a-z][a-z-]*' help.txt | sort -u)
[ -n "$options" ] || fail "no option found in --help"
missing=""
for option in $options; do
    # In roff every "-" of an option is written "\-".
    escaped=$(printf '%s' "$option" | sed 's/-/\\\\-/g')
    grep -Eq "^\.(B|BI|BR) $escaped( |\$)" "$page" || missing="$missing $option"
done
[ -z "$missing" ] || fail "options missing from the manual page:$missing"
echo "package ok: $(basename "$deb")"
