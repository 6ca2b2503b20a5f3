#!/bin/sh
# deb_test.sh CPACK BUILD_DIR SCRATCH SOURCE_DIR VERSION SHIPPED
# Packs the build with CPack, unpacks the .deb with dpkg -x into a scratch
# root, converts the sample company with the program from there and compares
# the document with the hand-checked one. The manual page in the package must
# render cleanly at 80 columns and describe every option and every kind of
# finding that the packaged program's --help names. When SHIPPED is 1 (the
# build that is shipped, not an instrumented one) the program must carry the
# hardening and lintian must find no error and no warning in the package.
set -eu
cpack=$1 build=$2 scratch=$3 source=$4 version=$5 shipped=${6:-0}
fail() { echo "FAILED: $*" >&2; exit 1; }
need() { command -v "$1" >/dev/null || fail "$1 is not installed: apt-get install -y $2 (tools/setup.sh --tests does)"; }
need groff groff-base

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
[ -x "$program" ] || fail "no usr/bin/kw39pcaconv in the package"
[ -f "$root/usr/share/man/man1/kw39pcaconv.1.gz" ] || fail "no compressed manual page in the package"
for doc in copyright changelog.gz; do
    [ -f "$root/usr/share/doc/kw39pcaconv/$doc" ] || fail "no usr/share/doc/kw39pcaconv/$doc in the package"
done
page=$scratch/kw39pcaconv.1
gzip -dc "$root/usr/share/man/man1/kw39pcaconv.1.gz" >"$page"

# Run from an unrelated folder: nothing may depend on the build tree.
mkdir -p "$scratch/work"
cd "$scratch/work"
"$program" --folder "$source/samples/demo" --year 8 --yes --output demo.xml 2>messages.txt ||
    { cat messages.txt >&2; fail "the packaged program did not convert the sample"; }
cmp demo.xml "$source/tests/data/e2e/demo-standard.xml" ||
    fail "the packaged program's document differs from tests/data/e2e/demo-standard.xml"

warnings=$(LC_ALL=C.UTF-8 groff -k -man -Tutf8 -ww -z "$page" 2>&1)
[ -z "$warnings" ] || fail "the manual page does not render cleanly: $warnings"
# Rendered as man shows it in a terminal of 80 columns: words that markup ran
# together show up as one overlong word.
LC_ALL=C.UTF-8 groff -k -man -Tutf8 -rLL=78n -P-cbou "$page" >rendered.txt
# Paths and addresses may be long.
long=$(LC_ALL=C.UTF-8 grep -oE '[^[:space:]]{35,}' rendered.txt | grep -v '[/@]' || true)
[ -z "$long" ] || fail "the rendered manual page runs words together: $long"
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
# The kinds of finding, by the names of the report's 種類 column.
kinds=$(sed -n '/^報告の種類/,/^$/p' help.txt | grep -oE '^  [^ (]+' | sed 's/^  //')
[ "$(printf '%s\n' "$kinds" | grep -c .)" -ge 14 ] || fail "--help names fewer than 14 kinds of finding: $kinds"
for kind in $kinds; do
    grep -Eq "^ *$kind( |\$)" rendered.txt ||
        fail "the manual page does not describe the kind of finding $kind"
done

if [ "$shipped" = 1 ]; then
    need readelf binutils
    need lintian lintian
    readelf -d "$program" | grep -q 'BIND_NOW' || fail "the program is not linked with -z now"
    readelf -lW "$program" | grep -q 'GNU_RELRO' || fail "the program is not linked with -z relro"
    readelf -sW --dyn-syms "$program" | grep -Eq '__[a-z0-9]+_chk@' || fail "the program is not built with _FORTIFY_SOURCE"
    findings=$(lintian -E --pedantic "$deb" 2>&1 | grep -E '^[EW]:' || true)
    [ -z "$findings" ] || fail "lintian: $findings"
fi
echo "package ok: $(basename "$deb")"
