#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "dibunit/errors.h"
#include "engine/byte_scan.h"
#include "engine/omnifont_ocr.h"
#include "engine/page_marks.h"
#include "support/test_bitmaps.h"

namespace omniocr {
namespace {

using test::FillRect;
using test::FromArt;
using test::MakeGrey;

// An engine whose run stops after extraction: no spot removal, and the later
// stages see a finished list.
class ExtractionTest : public ::testing::Test {
 protected:
  void Extract(std::unique_ptr<TDIB> page, int threshold = 160) {
    engine.BeginRun();
    engine.Page = std::move(page);
    engine.Threshold = threshold;
    engine.ExtractCharacters();
  }
  TOmnifontOCR engine;
};

TEST_F(ExtractionTest, OneRecordPerComponentInRasterOrder) {
  Extract(FromArt({
      ".....#.",
      ".###...",
      ".###.##",
      ".###.##",
      ".......",
      "#......",
      ".#.....",
  }));
  ASSERT_EQ(engine.Chars.Count(), 4);
  const TOCRChar& dot = *engine.Chars[0];
  EXPECT_EQ(dot.Left, 5);
  EXPECT_EQ(dot.StartY, 0);
  EXPECT_EQ(dot.Id, 1);
  const TOCRChar& square = *engine.Chars[1];
  EXPECT_EQ(square.Left, 1);
  EXPECT_EQ(square.Right, 3);
  EXPECT_EQ(square.Top, 1);
  EXPECT_EQ(square.Bottom, 3);
  EXPECT_EQ(square.StartX, 1);
  EXPECT_EQ(square.StartY, 1);
  EXPECT_EQ(square.Page, engine.Page.get());
  EXPECT_EQ(engine.Chars[2]->Left, 5);  // the block at (5..6, 2..3) comes before row 4
  // The two pixels touching at a corner are one component.
  const TOCRChar& diagonal = *engine.Chars[3];
  EXPECT_EQ(diagonal.Left, 0);
  EXPECT_EQ(diagonal.Right, 1);
  EXPECT_EQ(diagonal.Bottom, 6);
  EXPECT_EQ(diagonal.Id, 4);
  EXPECT_EQ(engine.CharCount, 4);
  EXPECT_EQ(engine.WidthSum, 1 + 3 + 2 + 2);
  EXPECT_EQ(engine.HeightSum, 1 + 3 + 2 + 2);
  // Every traced pixel carries mark 7; paper none.
  EXPECT_EQ(PixelMark(*engine.Page, 2, 2), 7);
  EXPECT_EQ(PixelMark(*engine.Page, 0, 0), 0);
}

// Arms that start apart and meet lower down are one record: it keeps the
// first pixel of the arm that came first in raster order, even when the run
// that joins them meets the later arm first, and the box of all the arms.
TEST_F(ExtractionTest, ArmsJoinedBelowMakeOneRecordFromTheFirstArm) {
  Extract(FromArt({
      ".....#",
      "#.#..#",
      "#....#",
      "######",
  }));
  ASSERT_EQ(engine.Chars.Count(), 2);
  const TOCRChar& joined = *engine.Chars[0];
  EXPECT_EQ(joined.StartX, 5);
  EXPECT_EQ(joined.StartY, 0);
  EXPECT_EQ(joined.Left, 0);
  EXPECT_EQ(joined.Right, 5);
  EXPECT_EQ(joined.Top, 0);
  EXPECT_EQ(joined.Bottom, 3);
  EXPECT_EQ(joined.Id, 1);
  const TOCRChar& dot = *engine.Chars[1];
  EXPECT_EQ(dot.StartX, 2);
  EXPECT_EQ(dot.Top, 1);
  EXPECT_EQ(dot.Bottom, 1);
  EXPECT_EQ(dot.Id, 2);
}

// The row scan against a pixel-by-pixel one, on rows whose runs start, end
// and go on across the stretches of sixteen and sixty-four pixels it reads
// at once: a run over whole stretches, runs that end on a stretch's last or
// first pixel, rows of ink only or paper only, marks and grey levels next to
// the threshold.
TEST(MarkInkRuns, FindsTheRunsAndMarksOfAPixelByPixelScan) {
  const int threshold = 160;
  std::vector<std::vector<std::uint8_t>> rows;
  auto row = [&rows](int width, auto isInk) {
    std::vector<std::uint8_t> r(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) r[static_cast<std::size_t>(x)] = isInk(x) ? 3 : 255;
    rows.push_back(r);
  };
  row(80, [](int x) { return x >= 5 && x <= 60; });
  row(64, [](int x) { return x == 15 || x == 16 || (x >= 32 && x <= 47); });
  row(48, [](int) { return true; });
  row(33, [](int x) { return x < 16 || x == 32; });
  row(7, [](int x) { return x % 2 == 0; });
  // Stretches of sixty-four: paper passed over, a run open across a whole
  // one, runs that start or end on their first or last pixel.
  row(200, [](int x) { return (x >= 70 && x <= 75) || (x >= 120 && x <= 195); });
  row(256, [](int x) { return (x >= 64 && x < 128) || x == 191 || x == 192; });
  row(128, [](int) { return false; });
  row(192, [](int x) { return x >= 40 && x <= 63; });  // ends where paper follows
  std::uint32_t seed = 12345;
  for (const int width : {16, 17, 31, 100, 257}) {
    std::vector<std::uint8_t> r(static_cast<std::size_t>(width));
    for (std::uint8_t& b : r) {
      seed = seed * 1103515245u + 12345u;
      b = static_cast<std::uint8_t>(150 + (seed >> 16) % 20);  // 150..169, marks included
    }
    rows.push_back(r);
  }
  for (const std::vector<std::uint8_t>& original : rows) {
    const int w = static_cast<int>(original.size());
    std::vector<std::uint8_t> expected = original;
    std::vector<std::pair<int, int>> expectedRuns;
    for (int x = 0, start = -1; x <= w; ++x) {
      const bool ink = x < w && IsInkByte(original[static_cast<std::size_t>(x)], threshold);
      if (x < w)
        expected[static_cast<std::size_t>(x)] =
            static_cast<std::uint8_t>((original[static_cast<std::size_t>(x)] & 0xF8) | (ink ? 7 : 0));
      if (ink && start < 0) start = x;
      if (!ink && start >= 0) expectedRuns.emplace_back(start, x - 1), start = -1;
    }
    std::vector<std::uint8_t> scanned = original;
    std::vector<std::pair<int, int>> runs;
    MarkInkRuns(scanned.data(), w, threshold, [&runs](int x0, int x1) { runs.emplace_back(x0, x1); });
    EXPECT_EQ(runs, expectedRuns) << "width " << w;
    EXPECT_EQ(scanned, expected) << "width " << w;
  }
}

// Records of random pages against filling each component (8 neighbours)
// from its first pixel in raster order: the same boxes, first pixels, order
// and ids, on pages sparse and dense enough that groups meet, split and join
// in every way along their rows.
TEST_F(ExtractionTest, RecordsMatchAFloodFillOfRandomPages) {
  std::uint32_t seed = 4242;
  for (const int density : {5, 20, 45, 60})
    for (const int width : {7, 70}) {
      const int height = 23;
      std::vector<std::string> art(static_cast<std::size_t>(height),
                                   std::string(static_cast<std::size_t>(width), '.'));
      for (std::string& row : art)
        for (char& c : row) {
          seed = seed * 1103515245u + 12345u;
          if (static_cast<int>((seed >> 16) % 100) < density) c = '#';
        }
      struct TBox {
        int Left, Top, Right, Bottom, StartX, StartY;
        bool operator==(const TBox&) const = default;
      };
      std::vector<TBox> expected;
      std::vector<std::vector<bool>> seen(static_cast<std::size_t>(height),
                                          std::vector<bool>(static_cast<std::size_t>(width)));
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
          if (art[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] != '#' ||
              seen[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)])
            continue;
          TBox box{x, y, x, y, x, y};
          std::vector<std::pair<int, int>> stack{{x, y}};
          seen[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = true;
          while (!stack.empty()) {
            const auto [px, py] = stack.back();
            stack.pop_back();
            box.Left = std::min(box.Left, px), box.Right = std::max(box.Right, px);
            box.Top = std::min(box.Top, py), box.Bottom = std::max(box.Bottom, py);
            for (int dy = -1; dy <= 1; ++dy)
              for (int dx = -1; dx <= 1; ++dx) {
                const int nx = px + dx, ny = py + dy;
                if (nx < 0 || ny < 0 || nx >= width || ny >= height) continue;
                if (art[static_cast<std::size_t>(ny)][static_cast<std::size_t>(nx)] != '#' ||
                    seen[static_cast<std::size_t>(ny)][static_cast<std::size_t>(nx)])
                  continue;
                seen[static_cast<std::size_t>(ny)][static_cast<std::size_t>(nx)] = true;
                stack.emplace_back(nx, ny);
              }
          }
          expected.push_back(box);
        }
      Extract(FromArt(art));
      std::vector<TBox> found;
      for (int i = 0; i < engine.Chars.Count(); ++i) {
        const TOCRChar& r = *engine.Chars[i];
        found.push_back({r.Left, r.Top, r.Right, r.Bottom, r.StartX, r.StartY});
        EXPECT_EQ(r.Id, i + 1);
      }
      EXPECT_TRUE(found == expected) << "density " << density << ", width " << width << ": " << found.size()
                                     << " records, " << expected.size() << " components";
    }
}

// The word-at-a-time run along a row against a pixel-by-pixel one: grey
// levels and marks around the threshold, the class found at every place of
// a word, lengths that end inside a word, none and less than none.
TEST(PixelsBeforeClass, MatchesAPixelByPixelScan) {
  std::uint32_t seed = 777;
  std::vector<std::uint8_t> row(40);
  for (std::uint8_t& b : row) {
    seed = seed * 1103515245u + 12345u;
    b = static_cast<std::uint8_t>(150 + (seed >> 16) % 20);  // 150..169, marks included
  }
  for (const int threshold : {0, 160, 165, 256})
    for (const bool ink : {true, false})
      for (int from = 0; from < 16; ++from)
        for (int n = -1; from + n <= static_cast<int>(row.size()); ++n) {
          int expected = std::max(n, 0);
          for (int k = 0; k < n; ++k)
            if (IsInkByte(row[static_cast<std::size_t>(from + k)], threshold) == ink) {
              expected = k;
              break;
            }
          EXPECT_EQ(PixelsBeforeClass(row.data() + from, n, threshold, ink), expected)
              << "threshold " << threshold << (ink ? " ink" : " paper") << " from " << from << " n " << n;
        }
}

TEST_F(ExtractionTest, CornerTouchingPixelsJoinOnlyWithEightNeighbours) {
  auto page = FromArt({"#.", ".#"});
  TBox box;
  EXPECT_EQ(TraceComponent(*page, 0, 0, 160, 1, false, box), 1);
  ClearMarks(*page, 0, 1, 0, 1);
  EXPECT_EQ(TraceComponent(*page, 0, 0, 160, 1, true, box), 2);
  EXPECT_EQ(box.Right, 1);
  // A marked or outside seed, or a mark without low bits, leaves the box alone.
  box = {9, 9, 9, 9};
  EXPECT_EQ(TraceComponent(*page, 0, 0, 160, 1, true, box), 0);
  EXPECT_EQ(TraceComponent(*page, -1, 0, 160, 1, true, box), 0);
  ClearMarks(*page, 0, 1, 0, 1);
  EXPECT_EQ(TraceComponent(*page, 0, 0, 160, 8, true, box), 0);
  EXPECT_EQ(box.Left, 9);
}

TEST_F(ExtractionTest, BoxAreaOf20000IsRejected) {
  auto page = MakeGrey(260, 110, 255);
  FillRect(*page, 0, 0, 199, 99, 0);   // 200 x 100 = 20000
  FillRect(*page, 210, 0, 210, 0, 0);  // a speck beside it
  Extract(std::move(page));
  ASSERT_EQ(engine.Chars.Count(), 2);
  EXPECT_EQ(engine.Chars[0]->BestChar, RejectedChar);
  EXPECT_EQ(engine.Chars[1]->BestChar, NoChar);
  auto smaller = MakeGrey(260, 110, 255);
  FillRect(*smaller, 0, 0, 198, 99, 0);  // 199 x 100 = 19900
  Extract(std::move(smaller));
  EXPECT_EQ(engine.Chars[0]->BestChar, NoChar);
}

TEST_F(ExtractionTest, GreyInkJustBelowTheThresholdStaysInkAfterMarking) {
  // Evenly grey text: level 160 with threshold 165 is ink before and after
  // extraction marks it, for every later ink test.
  auto page = MakeGrey(10, 10, 255);
  FillRect(*page, 2, 2, 6, 6, 163);
  Extract(std::move(page), 165);
  ASSERT_EQ(engine.Chars.Count(), 1);
  EXPECT_TRUE(IsInkByte(engine.Page->PixelByte(4, 4), engine.Threshold));
  EXPECT_EQ(engine.Page->PixelByte(4, 4), 160 | 7);
}

TEST_F(ExtractionTest, WholeZoneRecordMarksItsInkLikeExtraction) {
  engine.BeginRun();
  engine.Page = FromArt({"....", ".##.", "...."});
  engine.Threshold = 160;
  engine.AddZoneAsChar(0, 0, 3, 2);
  ASSERT_EQ(engine.Chars.Count(), 1);
  const TOCRChar& zone = *engine.Chars[0];
  EXPECT_EQ(zone.Id, 0);
  EXPECT_EQ(zone.Right, 3);
  EXPECT_EQ(engine.CharCount, 1);
  EXPECT_EQ(engine.WidthSum, 4);
  EXPECT_EQ(engine.HeightSum, 3);
  EXPECT_EQ(PixelMark(*engine.Page, 1, 1), 7);
  EXPECT_EQ(PixelMark(*engine.Page, 0, 0), 0);  // white 255 is no longer "filled"
}

}  // namespace
}  // namespace omniocr
