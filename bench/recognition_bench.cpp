// Speed of recognition on a page of figures built from the rendered digit
// lines under tests/data/digits (four fonts, 24 and 36 pixels): the
// recognition pass alone (time per character, dispatches per character) and
// the whole engine run on the page (time per page, NumericOnly as in a fresh
// engine).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "engine/omnifont_ocr.h"

namespace omniocr {
namespace {

std::string DigitDataDir() { return std::string(OMNIOCR_SOURCE_DIR) + "/tests/data/digits/"; }

std::vector<std::string> ReadArt(const std::string& name) {
  std::ifstream in(DigitDataDir() + name + ".txt");
  std::vector<std::string> rows;
  std::string row;
  std::getline(in, row);  // the guides
  while (std::getline(in, row))
    if (!row.empty()) rows.push_back(row);
  return rows;
}

// Ten copies of each rendered line, one under the other: 80 lines of ten
// digits, a packed 8-bit page in a global memory block.
TGlobalHandle MakeFiguresPage() {
  std::vector<std::vector<std::string>> lines;
  for (const char* name : {"sans-24", "serif-24", "mono-24", "roman-36", "sans-36", "serif-36", "mono-36"})
    lines.push_back(ReadArt(name));
  int width = 0, height = 0;
  for (const auto& l : lines) {
    width = std::max(width, static_cast<int>(l.front().size()));
    height += static_cast<int>(l.size());
  }
  constexpr int kCopies = 10;
  TDIB page;
  page.CreateNew(width + 40, kCopies * height + 40, df8Bit, 300, 300);
  for (int y = 0; y < page.Height(); ++y)
    std::memset(page.Row(y), 255, static_cast<std::size_t>(page.Width()));
  int top = 20;
  for (int copy = 0; copy < kCopies; ++copy)
    for (const auto& l : lines) {
      for (const std::string& r : l) {
        std::uint8_t* row = page.Row(top++);
        for (std::size_t x = 0; x < r.size(); ++x) {
          const char c = r[x];
          row[20 + x] = c == '#'                 ? 0
                        : (c >= '1' && c <= '9') ? static_cast<std::uint8_t>(25 * (c - '0'))
                                                 : 255;
        }
      }
    }
  return bench::PackedCopy(page);
}

void BM_RecognitionPass(benchmark::State& state) {
  TGlobalHandle handle = MakeFiguresPage();
  TOmnifontOCR engine;
  std::int64_t characters = 0, dispatches = 0;
  for (auto _ : state) bench::TimeRecognitionPass(state, engine, handle, characters, dispatches);
  state.SetItemsProcessed(characters);
  bench::SetPerCharacterCounters(state, characters, dispatches);
  GlobalFree(handle);
}
BENCHMARK(BM_RecognitionPass)->Unit(benchmark::kMillisecond);

void BM_WholePage(benchmark::State& state) {
  TGlobalHandle handle = MakeFiguresPage();
  TOmnifontOCR engine;
  std::int64_t characters = 0;
  for (auto _ : state) {
    engine.RecognizeParagraph(handle);
    for (int i = 0; i < engine.Chars.Count(); ++i) characters += engine.Chars[i]->Id >= 0;
  }
  state.counters["chars_per_page"] =
      static_cast<double>(characters) / static_cast<double>(std::max<std::int64_t>(state.iterations(), 1));
  GlobalFree(handle);
}
BENCHMARK(BM_WholePage)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace omniocr

BENCHMARK_MAIN();
