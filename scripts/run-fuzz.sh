#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for the given number of seconds.
#
#   scripts/run-fuzz.sh [BUILD_DIR] [SECONDS] [HARNESS...]
#
# Each harness starts from the seeds written by make_seeds (the test
# fixtures) and the inputs kept in fuzz/regressions, and keeps its corpus in
# BUILD_DIR/corpus/NAME between runs. A failing input is written to
# BUILD_DIR/findings/NAME/ and ends the script with status 1; keep it under
# fuzz/regressions/NAME once its fault is fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-fuzz}
seconds=${2:-60}
shift $(( $# > 2 ? 2 : $# ))
harnesses=("$@")
[ ${#harnesses[@]} -eq 0 ] && harnesses=(read_image load_dib pipeline)
jobs=${JOBS:-2}

cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DOMNIOCR_FUZZ=ON -DOMNIOCR_BUILD_DEMO=OFF -DOMNIOCR_BUILD_TESTS=OFF -DOMNIOCR_BUILD_BENCH=OFF >/dev/null
targets=(make_seeds)
for h in "${harnesses[@]}"; do targets+=("fuzz_$h"); done
cmake --build "$build" -j "$jobs" --target "${targets[@]}" >/dev/null

rm -rf "$build/seeds"
"$build/make_seeds" "$build/seeds" tests/data

# Largest input each harness takes: reader files up to 16 KiB, packed bitmaps
# up to 8 KiB, and a pipeline header with a 256 x 256 one-bit page.
max_len() {
  case $1 in
    read_image) echo 16384 ;;
    load_dib) echo 8192 ;;
    pipeline) echo 8200 ;;
  esac
}

status=0
for h in "${harnesses[@]}"; do
  corpus="$build/corpus/$h"
  findings="$build/findings/$h"
  mkdir -p "$corpus" "$findings"
  log="$build/fuzz-$h.log"
  # Kept inputs join the seeds; a harness may have none yet (git keeps no
  # empty folder).
  inputs=("$corpus" "$build/seeds/$h")
  [ -d "fuzz/regressions/$h" ] && inputs+=("fuzz/regressions/$h")
  set +e
  UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS=suppressions=fuzz/lsan.supp \
    "$build/fuzz_$h" "${inputs[@]}" \
    -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2560 -max_len="$(max_len "$h")" \
    -artifact_prefix="$findings/" -print_final_stats=1 >"$log" 2>&1
  rc=$?
  set -e
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rss=$(sed -n 's/^stat::peak_rss_mb: *//p' "$log")
  slowest=$(sed -n 's/^stat::slowest_unit_time_sec: *//p' "$log")
  echo "fuzz $h: ${runs:-?} runs in ${seconds} s, peak ${rss:-?} MB, slowest input ${slowest:-?} s"
  if [ $rc -ne 0 ]; then
    echo "fuzz $h: FAILED (status $rc); input and log in $findings and $log" >&2
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$log" | head -5 >&2 || true
    status=1
  fi
done
exit $status
