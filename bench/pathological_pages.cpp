// Time of whole runs on pages that no scanner should produce but a user can
// still hand in: dense noise (with and without spot removal), lines of
// touching characters, and one component that covers the page. Each kind is
// run at growing sizes; the time per pixel must stay flat, so the last column
// (time per pixel against the smallest size) must stay near 1.
//
//   pathological_pages [LARGEST_SIDE [KIND]]   (default 2048, every kind)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "dibunit/dib.h"
#include "dibunit/errors.h"
#include "engine/omnifont_ocr.h"

namespace {

using namespace omniocr;

using TPainter = std::function<void(TDIB&, std::mt19937&)>;

void Ink(TDIB& page, int x, int y) {
  if (page.Inside(x, y)) page.Row(y)[x] = 0;
}

// Half the pixels ink: one component spans the page.
void Noise(TDIB& page, std::mt19937& random) {
  for (int y = 0; y < page.Height(); ++y)
    for (int x = 0; x < page.Width(); ++x)
      if (random() & 1) Ink(page, x, y);
}

// One pixel in ten ink: a page of separate specks and small clusters.
void Specks(TDIB& page, std::mt19937& random) {
  for (int y = 0; y < page.Height(); ++y)
    for (int x = 0; x < page.Width(); ++x)
      if (random() % 10 == 0) Ink(page, x, y);
}

// Lines of glyph-like cells 14 x 24 (a stem, a bowl, a crossbar) that all
// stand on one bar: groups of 12 touching characters, a gap between groups.
constexpr int kGroup = 12;
void TouchingLines(TDIB& page, std::mt19937& random) {
  for (int top = 8; top + 30 < page.Height(); top += 36) {
    for (int left = 4; left + 14 * kGroup < page.Width(); left += 14 * kGroup + 12) {
      for (int cell = 0; cell < kGroup; ++cell) {
        const int x0 = left + cell * 14;
        const int stem = x0 + 2 + static_cast<int>(random() % 9);
        for (int y = top; y < top + 24; ++y) Ink(page, stem, y), Ink(page, stem + 1, y);
        for (int x = x0; x < x0 + 12; ++x)
          if (random() % 3) Ink(page, x, top + 8 + static_cast<int>(random() % 10));
        for (int y = top + 6; y < top + 20; ++y) Ink(page, x0 + (y % 12), y);
      }
      for (int x = left; x < left + 14 * kGroup; ++x) Ink(page, x, top + 24), Ink(page, x, top + 25);
    }
  }
}

// A mesh of lines 6 pixels apart: one component, the whole page.
void OneComponent(TDIB& page, std::mt19937&) {
  for (int y = 0; y < page.Height(); ++y)
    for (int x = 0; x < page.Width(); ++x)
      if (x % 6 == 0 || y % 6 == 0) Ink(page, x, y);
}

double SecondsFor(const TPainter& paint, int side, std::uint8_t spots) {
  TDIB page;
  page.CreateNew(side, side, df8Bit, 300, 300);
  for (int y = 0; y < side; ++y) std::fill(page.Row(y), page.Row(y) + side, 255);
  std::mt19937 random(7);
  paint(page, random);
  TGlobalHandle handle = bench::PackedCopy(page);
  TOmnifontOCR engine;
  engine.NumericOnly = false;
  engine.SpotRemoval = spots;
  engine.MaxSpotSize = 8;
  engine.SplitTouching = 2;
  const auto start = std::chrono::steady_clock::now();
  try {
    engine.RecognizeParagraph(handle);
  } catch (const EOCRError&) {
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  GlobalFree(handle);
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  const int largest = argc > 1 ? std::atoi(argv[1]) : 2048;
  struct TKind {
    const char* Name;
    TPainter Paint;
    std::uint8_t Spots;
  };
  const TKind kinds[] = {
      {"noise", Noise, srAlways},
      {"specks, spots removed", Specks, srAlways},
      {"specks, spots kept", Specks, srNone},
      {"touching characters", TouchingLines, srAlways},
      {"one component", OneComponent, srAlways},
  };
  std::printf("%-22s %6s %10s %12s %8s\n", "page", "side", "seconds", "ns/pixel", "ratio");
  double worst = 0;
  for (const TKind& kind : kinds) {
    if (argc > 2 && std::string(kind.Name).find(argv[2]) == std::string::npos) continue;
    double first = 0;
    for (int side = 256; side <= largest; side *= 2) {
      const double seconds = SecondsFor(kind.Paint, side, kind.Spots);
      const double perPixel = seconds * 1e9 / (static_cast<double>(side) * side);
      if (first == 0) first = perPixel;
      const double ratio = perPixel / first;
      if (ratio > worst) worst = ratio;
      std::printf("%-22s %6d %10.3f %12.1f %8.2f\n", kind.Name, side, seconds, perPixel, ratio);
      std::fflush(stdout);
    }
  }
  std::printf("worst ratio of time per pixel to the smallest page's: %.2f\n", worst);
  return 0;
}
