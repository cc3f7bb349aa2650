#!/usr/bin/env bash
# Regenerates samples/sample-page.png and its ground truth sample-page.txt
# with make-sample-page.cpp (Qt's offscreen painter, DejaVu Sans from
# fonts-dejavu-core). The outputs are committed: `make run` never needs this.
set -euo pipefail
cd "$(dirname "$0")"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
work=$(mktemp -d)
export XDG_RUNTIME_DIR="$work"
trap 'rm -rf "$work"' EXIT
g++ -std=c++20 -O1 -fPIC make-sample-page.cpp -o "$work/make-sample-page" $(pkg-config --cflags --libs Qt6Gui)
QT_QPA_PLATFORM=offscreen "$work/make-sample-page" sample-page.png sample-page.txt "$font"
echo "wrote samples/sample-page.png and samples/sample-page.txt"
