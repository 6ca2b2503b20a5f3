#!/usr/bin/env bash
# Regenerates docs/ONLINEHELP.PDF from onlinehelp.html. Only needed after the
# help text changed; the PDF is kept in the repository so that builds need no
# converter. Needs the Debian packages weasyprint and fonts-ipafont-gothic.
set -euo pipefail
cd "$(dirname "$0")"
if ! command -v weasyprint >/dev/null; then
    echo "Run: apt-get install weasyprint fonts-ipafont-gothic" >&2
    exit 1
fi
weasyprint onlinehelp.html ../ONLINEHELP.PDF
echo "Wrote $(cd .. && pwd)/ONLINEHELP.PDF"
