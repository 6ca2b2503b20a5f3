#!/usr/bin/env bash
# Installs the Debian packages that the build (and with --tests, the tests)
# need when they are missing: a minimal Debian (debootstrap --variant=minbase)
# has none of them. As root it runs apt-get; otherwise it prints the exact line
# to run. Extra packages can be named as arguments.
#
#   cmake g++ make     the build
#   file dpkg-dev      CPack's Debian package: file finds the programs,
#                      dpkg-shlibdeps their library dependencies (the Depends)
# with --tests:
#   libgtest-dev       the tests
#   libxml2-utils      xmllint: every document is checked against its schema
#   groff-base         the package test renders the manual page
#   lintian            the package test checks the .deb as Debian would
set -euo pipefail
packages=(cmake g++ make file dpkg-dev)
if [ "${1:-}" = --tests ]; then
    shift
    packages+=(libgtest-dev libxml2-utils groff-base lintian)
fi
packages+=("$@")
missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -eq 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    # Several suites start at once and each runs this script: wait for the
    # package lock instead of failing on it.
    apt-get update -qq -o DPkg::Lock::Timeout=600
    apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=600 \
        "${missing[@]}" >/dev/null
else
    echo "Missing packages. Run:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
fi
