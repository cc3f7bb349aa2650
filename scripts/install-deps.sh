#!/usr/bin/env bash
# Installs the Debian packages that building, testing and benchmarking omniocr need
# (the tests read PDF output with poppler-utils and render hOCR with OCRmyPDF;
# bench/compare-ocr.sh runs tesseract, ocrad and gocr beside omniocr).
# Idempotent: when everything is present it prints nothing and exits at once.
set -euo pipefail

packages=(
  build-essential g++ cmake ninja-build make pkg-config clang-format
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libtiff-dev libjpeg-dev libpng-dev zlib1g-dev libgif-dev libwebp-dev
  libzstd-dev liblzma-dev liblerc-dev libjbig-dev libdeflate-dev
  libpoppler-cpp-dev libhpdf-dev libleptonica-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  xvfb xauth fonts-dejavu-core
  python3
  poppler-utils ocrmypdf
  tesseract-ocr tesseract-ocr-eng ocrad gocr netpbm
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "install-deps: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
