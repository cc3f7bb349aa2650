#!/usr/bin/env bash
# Reads the bundled sample page (a page of figures, samples/sample-page.png,
# made by samples/make-sample-page.sh) with the command-line tool and prints
# its text, then the ground truth it should match.
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."
echo "== omniocr --content numeric samples/sample-page.png" >&2
"$build/omniocr" --content numeric samples/sample-page.png
echo "== ground truth (samples/sample-page.txt)" >&2
cat samples/sample-page.txt
