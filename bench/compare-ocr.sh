#!/usr/bin/env bash
# Compares omniocr with the other OCR programs installed here (tesseract,
# ocrad, gocr) on a folder of page images with ground truth (NAME.txt beside
# each image): time per page and, through ocr-score when it is available,
# character, ink and word accuracy, side by side.
#
#   bench/compare-ocr.sh [--omniocr PATH] [--omniocr-args ARGS]
#                        [--numbers-args ARGS] [--tools "LIST"] [DIR_OR_IMAGE...]
#
# --omniocr-args are given to omniocr on every page, --numbers-args (default
# "--content numeric") in addition on pages named *-numbers.*. The default
# folder is /work/shared/corpus; ocr-score is looked up beside the corpus
# (../shared/tools) or through $OCR_SCORE.
#
# The programs it runs are installed by scripts/install-deps.sh (run first)
# and omniocr is built when missing. A program that fails on a page stops
# the comparison with its message rather than scoring 0 %.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
omniocr="$root/build/omniocr"
build_omniocr=1
omniocr_args=""
numbers_args="--content numeric"
tools="omniocr tesseract ocrad gocr"
inputs=()
while [ $# -gt 0 ]; do
  case "$1" in
    --omniocr) omniocr=$2; build_omniocr=0; shift 2 ;;
    --omniocr-args) omniocr_args=$2; shift 2 ;;
    --numbers-args) numbers_args=$2; shift 2 ;;
    --tools) tools=$2; shift 2 ;;
    -h|--help) sed -n '2,19p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) inputs+=("$1"); shift ;;
  esac
done
[ ${#inputs[@]} -gt 0 ] || inputs=(/work/shared/corpus)

"$root/scripts/install-deps.sh"
if [ "$build_omniocr" = 1 ] && [ ! -x "$omniocr" ]; then
  echo "compare-ocr: building omniocr" >&2
  [ -f "$root/build/CMakeCache.txt" ] || cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
  cmake --build "$root/build" --target omniocr >/dev/null
fi

score=${OCR_SCORE:-}
if [ -z "$score" ]; then
  for candidate in "$root/../shared/tools/ocr-score" /work/shared/tools/ocr-score; do
    if [ -x "$candidate" ]; then score=$candidate; break; fi
  done
fi

# The pages: images with a ground-truth file beside them.
pages=()
while IFS= read -r image; do
  [ -f "${image%.*}.txt" ] && pages+=("$image")
done < <(find "${inputs[@]}" -type f \( -iname '*.png' -o -iname '*.tif' -o -iname '*.tiff' -o -iname '*.bmp' \
           -o -iname '*.pbm' -o -iname '*.pgm' -o -iname '*.ppm' -o -iname '*.jpg' -o -iname '*.jpeg' \) | sort)
if [ ${#pages[@]} -eq 0 ]; then
  echo "compare-ocr: no images with ground truth in ${inputs[*]}" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One helper per tool that prints the text of the image given as $1 and
# fails when the tool does; its messages go to $work/TOOL.log. ocrad and
# gocr read PNM (and PNG): other formats go through netpbm's anytopnm.
cat >"$work/omniocr" <<SH
#!/usr/bin/env bash
case "\$(basename "\$1")" in
  *-numbers.*) exec "$omniocr" $omniocr_args $numbers_args "\$1" 2>>"$work/omniocr.log" ;;
  *) exec "$omniocr" $omniocr_args "\$1" 2>>"$work/omniocr.log" ;;
esac
SH
cat >"$work/tesseract" <<SH
#!/usr/bin/env bash
exec tesseract "\$1" - 2>>"$work/tesseract.log"
SH
for tool in ocrad gocr; do
  cat >"$work/$tool" <<SH
#!/usr/bin/env bash
set -o pipefail
case "\$1" in
  *.png|*.PNG|*.pbm|*.pgm|*.ppm) exec $tool "\$1" 2>>"$work/$tool.log" ;;
  *) anytopnm "\$1" 2>>"$work/$tool.log" | $tool - 2>>"$work/$tool.log" ;;
esac
SH
done
chmod +x "$work"/*

available() {
  if [ "$1" = omniocr ]; then [ -x "$omniocr" ]; else command -v "$1" >/dev/null; fi
}

# Stops the comparison: a tool that cannot run would otherwise score 0 %.
fail() {
  local tool=$1 why=$2
  echo "compare-ocr: $tool $why" >&2
  [ -s "$work/$tool.log" ] && tail -n 5 "$work/$tool.log" | sed 's/^/  /' >&2
  exit 1
}

for tool in $tools; do
  available "$tool" || fail "$tool" "is not installed (scripts/install-deps.sh installs it)"
  "$work/$tool" "${pages[0]}" >/dev/null || fail "$tool" "failed on ${pages[0]}"
done

# Times the runs itself when ocr-score is missing: no accuracy then.
time_only() {
  local tool=$1 start end
  start=$(date +%s.%N)
  for page in "${pages[@]}"; do "$work/$tool" "$page" >/dev/null || fail "$tool" "failed on $page"; done
  end=$(date +%s.%N)
  echo "$start $end"
}

printf '%-10s %6s %9s %10s %10s %10s\n' tool pages "s/page" "char acc" "ink acc" "word acc"
for tool in $tools; do
  if [ -n "$score" ]; then
    json=$("$score" --run "$work/$tool {}" --json "${pages[@]}" 2>/dev/null | tail -n 1)
    failed=$(python3 -c 'import json, sys; print(json.loads(sys.argv[1])["failed_runs"])' "$json")
    [ "$failed" = 0 ] || fail "$tool" "failed on $failed of ${#pages[@]} pages"
    python3 - "$tool" "$json" <<'PY'
import json, sys
tool, totals = sys.argv[1], json.loads(sys.argv[2])
n = max(totals["images"], 1)
print(f'{tool:<10} {totals["images"]:>6} {totals["seconds"] / n:>9.3f} {totals["char_accuracy"]:>9.2f}% '
      f'{totals["ink_accuracy"]:>9.2f}% {totals["word_accuracy"]:>9.2f}%')
PY
  else
    times=$(time_only "$tool")
    read -r start end <<<"$times"
    python3 -c "import sys; n=int(sys.argv[3]); print(f'{sys.argv[1]:<10} {n:>6} {(float(sys.argv[4])-float(sys.argv[2]))/n:>9.3f} {\"n/a\":>10} {\"n/a\":>10} {\"n/a\":>10}')" \
      "$tool" "$start" "${#pages[@]}" "$end"
  fi
done
[ -n "$score" ] || echo "(ocr-score not found: accuracy not measured)"
