#!/usr/bin/env bash
# Reads the bundled sample page with the command-line tool and prints its text.
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."
if [ -x "$build/omniocr" ]; then
  exec "$build/omniocr" --content numeric samples/sample-page.png
fi
exec "$build/extract-demo"
