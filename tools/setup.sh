#!/usr/bin/env bash
# Installs the Debian packages the build needs when they are missing. As root it
# runs apt-get; otherwise it prints the exact line to run. Extra packages can be
# named as arguments.
set -euo pipefail
packages=(cmake g++ make libgtest-dev libxml2-utils "$@")
missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -eq 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
else
    echo "Missing packages. Run:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
fi
