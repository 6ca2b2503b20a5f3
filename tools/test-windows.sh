#!/usr/bin/env bash
# Cross-builds the Windows programs with MinGW-w64 (tools/build-windows.sh) and
# runs their tests under Wine on a virtual X display: the real Kw39PCAConv.exe
# is started and worked like a user and like the host system, and its document
# is compared with the one kw39pcaconv.exe writes. As root it first installs
# what it needs (64-bit Wine only); otherwise it prints the apt-get line.
#
#   tools/test-windows.sh --build-only   what it needs and the build, no test
set -euo pipefail
cd "$(dirname "$0")/.."
build_only=false
[ "${1:-}" = --build-only ] && build_only=true
build=${KW39_WIN_BUILD_DIR:-build-win}
started=$(date +%s)

packages=(cmake make g++-mingw-w64-x86-64 googletest wine wine64 xvfb xauth
          fonts-ipafont-gothic locales)
missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
# Wine takes the Windows locale from LC_ALL, and needs the glibc locale to
# exist to keep Japanese file names intact on the Linux side.
locales=(ja_JP en_US)
missing_locales=()
for l in "${locales[@]}"; do
    locale -a 2>/dev/null | grep -qix "${l}.utf-\?8" || missing_locales+=("$l")
done
if [ ${#missing[@]} -gt 0 ] || [ ${#missing_locales[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages or locales. Run as root:" >&2
        [ ${#missing[@]} -gt 0 ] && echo "  apt-get install -y ${missing[*]}" >&2
        for l in "${missing_locales[@]}"; do echo "  localedef -i $l -f UTF-8 $l.UTF-8" >&2; done
        exit 1
    fi
    if [ ${#missing[@]} -gt 0 ]; then
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq
        apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=600 \
            "${missing[@]}" >/dev/null
    fi
    for l in "${missing_locales[@]}"; do localedef -i "$l" -f UTF-8 "$l.UTF-8"; done
fi
installed=$(date +%s)

tools/build-windows.sh -DKW39_APP_TESTS=ON
built=$(date +%s)
$build_only && exit 0

# Whatever happens, no Wine process of the test prefix outlives the run.
wineserver=/usr/lib/wine/wineserver
[ -x "$wineserver" ] || wineserver=wineserver
cleanup() { WINEPREFIX="$(pwd)/$build/wineprefix" "$wineserver" -k 2>/dev/null || true; }
trap cleanup EXIT

status=0
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
    ctest --test-dir "$build/tests/app" --output-on-failure || status=$?
finished=$(date +%s)
echo "Windows tests: install $((installed - started)) s, build $((built - installed)) s," \
     "tests $((finished - built)) s; screenshots in $(pwd)/$build/app-test/screenshots"
exit $status
