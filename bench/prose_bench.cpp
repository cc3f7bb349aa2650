// Speed of recognition with the letters on, on the pages of prose of the
// shared corpus (every *-prose.* image under $OMNIOCR_CORPUS, default
// /work/shared/corpus/synthetic): the recognition pass alone (time and
// dispatches per character) and the whole engine run per page. Prints a note
// and runs nothing when the corpus is not there.

#include <benchmark/benchmark.h>

#include <iostream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "engine/omnifont_ocr.h"
#include "imaging/image_io.h"

namespace omniocr {
namespace {

std::vector<TGlobalHandle>& Handles() {
  static std::vector<TGlobalHandle> handles = [] {
    std::vector<TGlobalHandle> h;
    for (const std::string& page : bench::ProsePagePaths()) h.push_back(ReadImageFile(page).GetPackedDib());
    return h;
  }();
  return handles;
}

void BM_ProseRecognitionPass(benchmark::State& state) {
  TOmnifontOCR engine;
  engine.NumericOnly = false;
  std::int64_t characters = 0, dispatches = 0;
  for (auto _ : state)
    for (TGlobalHandle handle : Handles())
      bench::TimeRecognitionPass(state, engine, handle, characters, dispatches);
  bench::SetPerCharacterCounters(state, characters, dispatches);
}

void BM_ProseWholePage(benchmark::State& state) {
  TOmnifontOCR engine;
  engine.NumericOnly = false;
  for (auto _ : state)
    for (TGlobalHandle handle : Handles()) engine.RecognizeParagraph(handle);
  state.counters["pages"] = static_cast<double>(Handles().size());
  state.counters["ms_per_page"] =
      benchmark::Counter(static_cast<double>(Handles().size()),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace
}  // namespace omniocr

int main(int argc, char** argv) {
  if (omniocr::Handles().empty()) {
    std::cout << "prose_bench: no *-prose.* pages under $OMNIOCR_CORPUS (or /work/shared/corpus): skipped\n";
    return 0;
  }
  benchmark::RegisterBenchmark("BM_ProseRecognitionPass", omniocr::BM_ProseRecognitionPass)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_ProseWholePage", omniocr::BM_ProseWholePage)
      ->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  for (omniocr::TGlobalHandle h : omniocr::Handles()) omniocr::GlobalFree(h);
  return 0;
}
