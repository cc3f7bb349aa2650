// Time that straightening adds to a page: the skew search on the straight
// prose pages of the shared corpus (every *-prose.* image under
// $OMNIOCR_CORPUS, default /work/shared/corpus/synthetic), and search plus
// rotation on the same pages turned by 2 degrees. Prints a note and runs
// nothing when the corpus is not there.

#include <benchmark/benchmark.h>

#include <iostream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "imaging/deskew.h"
#include "imaging/image_io.h"

namespace omniocr {
namespace {

std::vector<TDibGraphic> ProsePages() {
  std::vector<TDibGraphic> pages;
  for (const std::string& path : bench::ProsePagePaths()) pages.push_back(ReadImageFile(path));
  return pages;
}

const std::vector<TDibGraphic>& StraightPages() {
  static const std::vector<TDibGraphic> pages = ProsePages();
  return pages;
}

const std::vector<TDibGraphic>& TurnedPages() {
  static const std::vector<TDibGraphic> pages = [] {
    std::vector<TDibGraphic> turned;
    for (const TDibGraphic& page : StraightPages()) turned.push_back(RotateImage(page, 2.0));
    return turned;
  }();
  return pages;
}

void BM_SkewSearchStraightPage(benchmark::State& state) {
  const std::vector<TDibGraphic>& pages = StraightPages();
  if (pages.empty()) {
    state.SkipWithError("no prose pages in the corpus");
    return;
  }
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(FindSkew(pages[i++ % pages.size()]));
}
BENCHMARK(BM_SkewSearchStraightPage)->Unit(benchmark::kMillisecond);

void BM_DeskewTurnedPage(benchmark::State& state) {
  const std::vector<TDibGraphic>& pages = TurnedPages();
  if (pages.empty()) {
    state.SkipWithError("no prose pages in the corpus");
    return;
  }
  std::size_t i = 0;
  for (auto _ : state) {
    TDibGraphic page = pages[i++ % pages.size()];
    benchmark::DoNotOptimize(DeskewImage(page));
  }
}
BENCHMARK(BM_DeskewTurnedPage)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace omniocr

int main(int argc, char** argv) {
  if (omniocr::StraightPages().empty()) {
    std::cout << "deskew_bench: no prose pages in the corpus (set OMNIOCR_CORPUS); nothing to time\n";
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
