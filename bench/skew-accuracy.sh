#!/usr/bin/env bash
# Accuracy of omniocr on page images turned by a few angles, with and without
# straightening, and the time per page of each.
#
#   bench/skew-accuracy.sh [--build DIR] [--angles "0 1 2 3"] [DIR_OR_IMAGE...]
#
# Every image with ground truth beside it (NAME.txt) is turned
# counter-clockwise by each angle (build/rotate_page) into a temporary
# folder, then scored with ocr-score (looked up beside the corpus, as
# ../shared/tools, or through $OCR_SCORE). Default input: /work/shared/corpus.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
angles="0 1 2 3"
inputs=()
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --angles) angles=$2; shift 2 ;;
    -h|--help) sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) inputs+=("$1"); shift ;;
  esac
done
[ ${#inputs[@]} -gt 0 ] || inputs=(/work/shared/corpus)

score=${OCR_SCORE:-}
if [ -z "$score" ]; then
  for candidate in "$root/../shared/tools/ocr-score" /work/shared/tools/ocr-score; do
    if [ -x "$candidate" ]; then score=$candidate; break; fi
  done
fi
[ -n "$score" ] || { echo "skew-accuracy: ocr-score not found (set OCR_SCORE)" >&2; exit 1; }

pages=()
while IFS= read -r image; do
  [ -f "${image%.*}.txt" ] && pages+=("$image")
done < <(find "${inputs[@]}" -type f \( -iname '*.png' -o -iname '*.tif' -o -iname '*.tiff' -o -iname '*.bmp' \
           -o -iname '*.pbm' -o -iname '*.pgm' -o -iname '*.jpg' -o -iname '*.jpeg' \) | sort)
[ ${#pages[@]} -gt 0 ] || { echo "skew-accuracy: no images with ground truth in ${inputs[*]}" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '%-8s %-10s %s\n' angle deskew "ocr-score totals"
for angle in $angles; do
  "$build/rotate_page" "$angle" "${pages[@]}" "$work/$angle"
  for mode in on off; do
    args=""
    [ "$mode" = off ] && args="--no-deskew"
    totals=$("$score" --run "$build/omniocr $args {}" "$work/$angle" | tail -n 1)
    printf '%-8s %-10s %s\n' "$angle" "$mode" "${totals#total: }"
  done
done
