// Speed of the path from a packed bitmap to the extracted records (copy,
// conversion, histogram and threshold, extraction) on a generated A4 page at
// 300 dpi, and of a mix of probe calls; prints pixels per second and the peak
// memory of one run.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>

#include "bench/bench_support.h"
#include "engine/classify/probes.h"
#include "engine/omnifont_ocr.h"

namespace omniocr {
namespace {

constexpr int kPageWidth = 2480;
constexpr int kPageHeight = 3508;

// Small blobs laid out like text: lines of letter-sized strokes and bowls
// with word gaps, a little grey noise on the paper.
TGlobalHandle MakeTextLikePage(int bitCount) {
  TDIB page;
  page.CreateNew(kPageWidth, kPageHeight,
                 bitCount == 8   ? df8Bit
                 : bitCount == 1 ? df1Bit
                                 : df24Bit,
                 300, 300);
  std::mt19937 random(7);
  const std::int32_t white = bitCount == 8 ? 250 : bitCount == 1 ? 1 : 0xFAFAFA;
  const std::int32_t black = bitCount == 8 ? 20 : 0;
  for (int y = 0; y < kPageHeight; ++y)
    for (int x = 0; x < kPageWidth; ++x) page.SetPixel(x, y, white);
  for (int top = 150; top + 40 < kPageHeight - 150; top += 52) {
    int x = 200;
    while (x < kPageWidth - 240) {
      const int letters = 2 + static_cast<int>(random() % 8);
      for (int l = 0; l < letters; ++l) {
        const int w = 14 + static_cast<int>(random() % 10);
        const int h = random() % 3 == 0 ? 40 : 28;
        const int y0 = top + 40 - h;
        const bool bowl = random() % 2 == 0;
        for (int yy = y0; yy < top + 40; ++yy)
          for (int xx = x; xx < x + w; ++xx) {
            const bool edge = xx < x + 4 || xx >= x + w - 4 || yy < y0 + 4 || yy >= top + 36;
            if (bowl ? edge : (xx < x + 4 || yy < y0 + 4)) page.SetPixel(xx, yy, black);
          }
        x += w + 4;
      }
      x += 22;
    }
  }
  return bench::PackedCopy(page);
}

// The run from the packed bitmap to the extracted records, leaving the page.
void ExtractKeepingPage(TOmnifontOCR& engine, TGlobalHandle handle) {
  engine.BeginRun();
  engine.CopyInputToPage(handle);
  engine.ComputeThreshold();
  engine.ExtractCharacters();
}

void ExtractOnce(TOmnifontOCR& engine, TGlobalHandle handle) {
  ExtractKeepingPage(engine, handle);
  engine.EndRun();
}

long ReadStatusKiB(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::strlen(field)));
  return -1;
}

// Peak resident memory of one extraction run above what the process held
// before it, in MiB (resets the high-water mark first).
double PeakRunMemoryMiB(TGlobalHandle handle) {
  TOmnifontOCR engine;
  malloc_trim(0);  // hand freed heap back, so that the run's own pages show
  { std::ofstream("/proc/self/clear_refs") << "5"; }
  const long before = ReadStatusKiB("VmRSS:");
  ExtractOnce(engine, handle);
  const long peak = ReadStatusKiB("VmHWM:");
  return (peak - before) / 1024.0;
}

void BM_PackedBitmapToRecords(benchmark::State& state) {
  const int bitCount = static_cast<int>(state.range(0));
  TGlobalHandle handle = MakeTextLikePage(bitCount);
  TOmnifontOCR engine;
  std::size_t records = 0;
  for (auto _ : state) {
    ExtractOnce(engine, handle);
    records = static_cast<std::size_t>(engine.Chars.Count());
  }
  const double pixels = static_cast<double>(kPageWidth) * kPageHeight;
  state.counters["pixels/s"] = benchmark::Counter(pixels, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["records"] = static_cast<double>(records);
  state.counters["packed MiB"] = GlobalSize(handle) / 1048576.0;
  state.counters["peak run MiB"] = PeakRunMemoryMiB(handle);
  GlobalFree(handle);
}
BENCHMARK(BM_PackedBitmapToRecords)->Arg(8)->Arg(1)->Arg(24)->Unit(benchmark::kMillisecond);

// A mix of the probes the recognisers call, on glyph-sized rectangles of the page.
void BM_ProbeMix(benchmark::State& state) {
  TGlobalHandle handle = MakeTextLikePage(8);
  TOmnifontOCR engine;
  ExtractKeepingPage(engine, handle);
  const TDIB& page = *engine.Page;
  const int thr = engine.Threshold;
  std::int64_t calls = 0;
  for (auto _ : state) {
    int sink = 0;
    for (int i = 0; i < engine.Chars.Count() && i < 2000; ++i) {
      const TOCRChar& c = *engine.Chars[i];
      const int xm = (c.Left + c.Right) / 2, ym = (c.Top + c.Bottom) / 2;
      sink += ScanRun(page, c.Left, ym, dirRight, tgInk, thr, c.Width());
      sink += ScanRun(page, xm, c.Top, dirDown, tgPaper, thr, c.Height());
      sink += CountCrossings(page, c.Left, ym, c.Right, ym, thr);
      sink += CountCrossings(page, xm, c.Top, xm, c.Bottom, thr);
      sink += ProbeRect(page, c.Left, c.Top, c.Right, ym, thr, 1);
      sink += InkCoverage(page, c.Left, c.Top, c.Right, c.Bottom, thr, 100);
      calls += 6;
    }
    benchmark::DoNotOptimize(sink);
  }
  state.counters["probes/s"] = benchmark::Counter(static_cast<double>(calls), benchmark::Counter::kIsRate);
  engine.EndRun();
  GlobalFree(handle);
}
BENCHMARK(BM_ProbeMix)->Unit(benchmark::kMicrosecond);

void BM_CountHoles(benchmark::State& state) {
  TGlobalHandle handle = MakeTextLikePage(8);
  TOmnifontOCR engine;
  ExtractKeepingPage(engine, handle);
  std::int64_t calls = 0;
  THoleList holes;
  for (auto _ : state) {
    for (int i = 0; i < engine.Chars.Count() && i < 2000; ++i) {
      const TOCRChar& c = *engine.Chars[i];
      benchmark::DoNotOptimize(
          CountHoles(engine, *engine.Page, c.Left, c.Top, c.Right, c.Bottom, engine.Threshold, &holes));
      ++calls;
    }
  }
  state.counters["calls/s"] = benchmark::Counter(static_cast<double>(calls), benchmark::Counter::kIsRate);
  engine.EndRun();
  GlobalFree(handle);
}
BENCHMARK(BM_CountHoles)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace omniocr

BENCHMARK_MAIN();
