// Cost of the whole engine run against page area: one page of prose tiled
// 1 x 1, 2 x 2 and 4 x 4 times into one 8-bit page (so 1, 4 and 16 times the
// pixels and the characters), read with the letters on. The figure to compare
// is time_per_pixel, which stays flat when every stage costs in proportion to
// the page. The page is $OMNIOCR_SCALING_PAGE, by default
// dejavu-sans-12pt-prose.png of the corpus under $OMNIOCR_CORPUS (or
// /work/shared/corpus); without it the program prints a note and runs nothing.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "bench/bench_support.h"
#include "engine/omnifont_ocr.h"
#include "imaging/image_io.h"

namespace omniocr {
namespace {

std::string PagePath() {
  if (const char* page = std::getenv("OMNIOCR_SCALING_PAGE")) return page;
  const char* corpus = std::getenv("OMNIOCR_CORPUS");
  const std::filesystem::path dir = corpus != nullptr ? corpus : "/work/shared/corpus";
  return (dir / "synthetic" / "dejavu-sans-12pt-prose.png").string();
}

// The page as 8-bit grey.
std::unique_ptr<TDIB> LoadGreyPage() {
  TGlobalHandle handle = ReadImageFile(PagePath()).GetPackedDib();
  auto page = std::make_unique<TDIB>();
  page->LoadFromHandle(handle);
  page->ConvertTo(df8Bit);
  return page;
}

// `side` x `side` copies of the page side by side, in a new global block.
TGlobalHandle TiledPage(const TDIB& page, int side) {
  const int w = page.Width(), h = page.Height();
  TDIB tiled;
  tiled.CreateNew(w * side, h * side, df8Bit, 300, 300);
  for (int ty = 0; ty < side; ++ty)
    for (int y = 0; y < h; ++y)
      for (int tx = 0; tx < side; ++tx)
        std::memcpy(tiled.Row(ty * h + y) + tx * w, page.Row(y), static_cast<std::size_t>(w));
  return bench::PackedCopy(tiled);
}

void BM_TiledPage(benchmark::State& state) {
  const int side = static_cast<int>(state.range(0));
  const std::unique_ptr<TDIB> page = LoadGreyPage();
  TGlobalHandle handle = TiledPage(*page, side);
  TOmnifontOCR engine;
  engine.NumericOnly = false;
  for (auto _ : state) engine.RecognizeParagraph(handle);
  const double pixels = static_cast<double>(page->Width()) * page->Height() * side * side;
  state.counters["pixels"] = pixels;
  state.counters["records"] = engine.Chars.Count();
  state.counters["time_per_pixel"] =
      benchmark::Counter(pixels, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  GlobalFree(handle);
}

}  // namespace
}  // namespace omniocr

int main(int argc, char** argv) {
  if (!std::filesystem::exists(omniocr::PagePath())) {
    std::cout << "scaling_bench: no page at " << omniocr::PagePath()
              << " (set OMNIOCR_SCALING_PAGE or OMNIOCR_CORPUS): skipped\n";
    return 0;
  }
  benchmark::RegisterBenchmark("BM_TiledPage", omniocr::BM_TiledPage)
      ->Arg(1)
      ->Arg(2)
      ->Arg(4)
      ->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
