// Layout analysis (size statistics to fragment merging) on synthetic pages of
// box-shaped characters: words of x-height letters, ascenders, descenders and
// dotted i's. The argument is the number of pages' worth of characters, laid
// out as one page that many times as tall, so that growth with the number of
// characters shows.

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "engine/omnifont_ocr.h"

namespace omniocr {
namespace {

constexpr int kPageWidth = 1700;
constexpr int kPageHeight = 2000;
constexpr int kMargin = 100;
constexpr int kLinePitch = 32;
constexpr int kCharPitch = 14;
constexpr int kInk = 0;

void FillRect(TDIB& page, int x0, int y0, int x1, int y1) {
  for (int y = y0; y <= y1; ++y) std::memset(page.Row(y) + x0, kInk, static_cast<std::size_t>(x1 - x0 + 1));
}

// One character 10 wide whose ascender line is y.
void DrawChar(TDIB& page, int left, int y, int kind) {
  const int right = left + 9;
  switch (kind) {
    case 0: FillRect(page, left, y + 6, right, y + 17); break;  // x-height
    case 1: FillRect(page, left, y, right, y + 17); break;      // ascender
    case 2: FillRect(page, left, y + 6, right, y + 22); break;  // descender
    default:                                                    // i with its dot
      FillRect(page, left + 3, y + 6, left + 6, y + 17);
      FillRect(page, left + 3, y + 1, left + 6, y + 3);
      break;
  }
}

// Columns of text lines, each line words of five characters.
void DrawPages(TDIB& page, int pages, int columns) {
  const int columnWidth = (kPageWidth - 2 * kMargin) / columns;
  unsigned seed = 12345;
  for (int y = kMargin; y + kLinePitch < pages * kPageHeight - kMargin; y += kLinePitch) {
    for (int c = 0; c < columns; ++c) {
      const int x0 = kMargin + c * columnWidth, x1 = x0 + columnWidth - 3 * kCharPitch;
      for (int x = x0, k = 0; x + kCharPitch < x1; x += kCharPitch, ++k) {
        if (k % 6 == 5) continue;  // a space between words
        seed = seed * 1103515245u + 12345u;
        const unsigned r = (seed >> 16) % 10;
        DrawChar(page, x, y, r < 6 ? 0 : r < 8 ? 1 : r < 9 ? 2 : 3);
      }
    }
  }
}

// An engine holding the extracted characters of the page, and what is needed
// to put it back before every measured run.
class TLayoutBench {
 public:
  TLayoutBench(int pages, int columns) {
    const int height = pages * kPageHeight;
    Engine.Page = std::make_unique<TDIB>();
    Engine.Page->CreateNew(kPageWidth, height, df8Bit, 200, 200);
    for (int y = 0; y < height; ++y) std::memset(Engine.Page->Row(y), 255, kPageWidth);
    DrawPages(*Engine.Page, pages, columns);
    Engine.Threshold = 128;
    Engine.ExtractCharacters();
    for (int y = 0; y < height; ++y)
      Pixels.insert(Pixels.end(), Engine.Page->Row(y), Engine.Page->Row(y) + kPageWidth);
    for (int i = 0; i < Engine.Chars.Count(); ++i) Records.push_back(*Engine.Chars[i]);
    Sums = {Engine.WidthSum, Engine.HeightSum, Engine.CharCount};
  }

  void Restore() {
    for (int y = 0; y < Engine.Page->Height(); ++y)
      std::memcpy(Engine.Page->Row(y), &Pixels[static_cast<std::size_t>(y) * kPageWidth], kPageWidth);
    Engine.Chars.Clear();
    for (const TOCRChar& record : Records) Engine.Chars.Add(std::make_unique<TOCRChar>(record));
    Engine.WidthSum = Sums[0];
    Engine.HeightSum = Sums[1];
    Engine.CharCount = Sums[2];
    Engine.MeanCharWidth = 5;
    Engine.MeanCharHeight = 8;
    Engine.LineCount = 0;
  }

  void RunLayout(bool cutRegions) {
    Engine.ComputeCharStatistics();
    Engine.FindTextLines(cutRegions);
    Engine.AssignLines();
    Engine.SplitLineStraddlers();
    Engine.SplitBarJoined();
    Engine.SortReadingOrder();
    Engine.MergeFragments();
  }

  std::size_t CharactersExtracted() const { return Records.size(); }
  TOmnifontOCR Engine;

 private:
  std::vector<std::uint8_t> Pixels;
  std::vector<TOCRChar> Records;
  std::vector<int> Sums;
};

// Written over before a run to push the page and the records out of the
// caches, so that every size starts as cold as a large page does.
void EvictCaches() {
  static std::vector<std::uint8_t> buffer(std::size_t{256} << 20);
  for (std::size_t i = 0; i < buffer.size(); i += 64) buffer[i] = static_cast<std::uint8_t>(buffer[i] + 1);
  benchmark::DoNotOptimize(buffer.data());
}

void RunBenchmark(benchmark::State& state, int columns, bool cutRegions, bool cold = false) {
  const int pages = static_cast<int>(state.range(0));
  TLayoutBench bench(pages, columns);
  for (auto _ : state) {
    state.PauseTiming();
    bench.Restore();
    if (cold) EvictCaches();
    state.ResumeTiming();
    bench.RunLayout(cutRegions);
    benchmark::DoNotOptimize(bench.Engine.Chars.Count());
  }
  state.counters["chars"] = static_cast<double>(bench.CharactersExtracted());
  state.counters["lines"] = bench.Engine.LineCount - 1;
  state.counters["per_page_ms"] =
      benchmark::Counter(static_cast<double>(pages) / 1000.0,
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// One column of lines: the whole page searched at once.
void BM_LayoutParagraph(benchmark::State& state) { RunBenchmark(state, 1, false); }
// The same, every run starting from cold caches.
void BM_LayoutParagraphCold(benchmark::State& state) { RunBenchmark(state, 1, false, true); }
// Two columns with region cutting. Every enclosing block records its lines
// again, so beyond 4 pages' worth the line table overflows ("lines>MAXlines").
void BM_LayoutTwoColumnsCut(benchmark::State& state) { RunBenchmark(state, 2, true); }

BENCHMARK(BM_LayoutParagraph)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayoutParagraphCold)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayoutTwoColumnsCut)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace omniocr

BENCHMARK_MAIN();
