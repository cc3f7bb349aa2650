#!/usr/bin/env bash
# Runs the built Google Benchmark programs (one per bench/*.cpp), then the
# comparison with the other OCR programs on the shared corpus when it exists.
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."
for source in bench/*.cpp; do
  [ -e "$source" ] || continue
  program="$build/$(basename "${source%.cpp}")"
  if [ -x "$program" ]; then
    echo "== $program"
    "$program"
  fi
done
corpus=${OMNIOCR_CORPUS:-/work/shared/corpus}
if [ -d "$corpus" ]; then
  echo "== OCR comparison on $corpus"
  bench/compare-ocr.sh --omniocr "$build/omniocr" "$corpus"
else
  echo "== no corpus at $corpus: comparison skipped (set OMNIOCR_CORPUS)"
fi
