#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "engine/byte_scan.h"
#include "engine/omnifont_ocr.h"
#include "support/test_bitmaps.h"

namespace omniocr {
namespace {

using test::FillRect;
using test::MakeGrey;

// Draws `count` specks of `pixels` ink pixels each in a row starting at y.
void DrawSpecks(TDIB& page, int y, int count, int pixels) {
  for (int i = 0; i < count; ++i) FillRect(page, 2 + 6 * i, y, 2 + 6 * i + pixels - 1, y, 0);
}

class SpotRemovalTest : public ::testing::Test {
 protected:
  void Run(std::unique_ptr<TDIB> page, std::uint8_t mode, int maxSpot) {
    engine.BeginRun();
    engine.Page = std::move(page);
    engine.Threshold = 160;
    engine.SpotRemoval = mode;
    engine.MaxSpotSize = maxSpot;
    engine.ExtractCharacters();
    engine.RemoveSpots();
  }
  int CountWithInk(int ink) const {
    int n = 0;
    for (int i = 0; i < engine.Chars.Count(); ++i) n += engine.Chars[i]->InkCount == ink;
    return n;
  }
  TOmnifontOCR engine;
};

// The ink count of a box against a byte-by-byte one: boxes of every width
// up to a few stretches of sixteen, at the left and right edges of rows
// longer and shorter than sixteen bytes, grey levels about the threshold
// with marks in their low bits, and enough rows that the lane sums must be
// folded in time.
TEST(InkColumnCounter, AgreesWithAByteByByteCount) {
  const int threshold = 160;
  std::uint32_t seed = 99;
  for (const int rowWidth : {5, 16, 23, 70}) {
    std::vector<std::vector<std::uint8_t>> rows(
        600, std::vector<std::uint8_t>(static_cast<std::size_t>(rowWidth)));
    for (auto& row : rows)
      for (std::uint8_t& b : row) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(148 + (seed >> 16) % 24);
      }
    for (int left = 0; left < rowWidth; ++left)
      for (int n = 1; left + n <= rowWidth; ++n)
        for (const int height : {1, 3, 600}) {
          TInkColumnCounter counter(left, n, rowWidth, threshold);
          int expected = 0;
          for (int y = 0; y < height; ++y) {
            counter.Add(rows[static_cast<std::size_t>(y)].data());
            for (int x = left; x < left + n; ++x)
              expected +=
                  IsInkByte(rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)], threshold);
          }
          ASSERT_EQ(counter.Ink(), expected) << rowWidth << " " << left << " " << n << " " << height;
        }
  }
}

// Each record's ink is every ink pixel in its box, its own component's and
// any other's: a box holding another component (a dot inside an L), boxes
// that cross, boxes that share columns but not rows, and boxes alone.
TEST_F(SpotRemovalTest, InkCountsEveryInkPixelInTheBox) {
  auto page = MakeGrey(48, 24, 255);
  FillRect(*page, 2, 2, 3, 12, 0);    // an L
  FillRect(*page, 2, 11, 12, 12, 0);  // its foot
  FillRect(*page, 8, 5, 9, 6, 0);     // a dot inside the L's box
  FillRect(*page, 20, 3, 24, 8, 0);   // alone
  FillRect(*page, 30, 2, 33, 4, 0);   // above the next one, in the same columns
  FillRect(*page, 30, 8, 33, 10, 0);
  FillRect(*page, 36, 12, 36, 22, 0);  // a second L, and a bar that crosses
  FillRect(*page, 36, 22, 46, 22, 0);  // into its box from the right
  FillRect(*page, 40, 16, 47, 16, 0);
  const TDIB& drawn = *page;
  std::vector<std::vector<int>> ink(static_cast<std::size_t>(drawn.Height()));
  for (int y = 0; y < drawn.Height(); ++y)
    for (int x = 0; x < drawn.Width(); ++x)
      ink[static_cast<std::size_t>(y)].push_back(drawn.PixelByte(x, y) < 160);
  Run(std::move(page), srAlways, 0);
  ASSERT_EQ(engine.Chars.Count(), 7);
  for (int i = 0; i < engine.Chars.Count(); ++i) {
    const TOCRChar& c = *engine.Chars[i];
    int expected = 0;
    for (int y = c.Top; y <= c.Bottom; ++y)
      for (int x = c.Left; x <= c.Right; ++x)
        expected += ink[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
    EXPECT_EQ(c.InkCount, expected) << "record at " << c.Left << "," << c.Top;
  }
}

TEST_F(SpotRemovalTest, SmartRemovesSizeClassesWhileTheyShrink) {
  auto page = MakeGrey(200, 60, 255);
  DrawSpecks(*page, 2, 30, 1);
  DrawSpecks(*page, 5, 20, 2);
  DrawSpecks(*page, 8, 25, 3);
  for (int i = 0; i < 5; ++i) FillRect(*page, 2 + 12 * i, 20, 2 + 12 * i + 7, 24, 0);  // 40 pixels
  Run(std::move(page), srSmart, 10);
  EXPECT_EQ(CountWithInk(1), 0);
  EXPECT_EQ(CountWithInk(2), 0);
  EXPECT_EQ(CountWithInk(3), 25);
  EXPECT_EQ(CountWithInk(40), 5);
  EXPECT_EQ(engine.CharCount, 30);
  EXPECT_EQ(engine.Page->PixelByte(2, 2), 248);  // whitened, marks cleared
}

TEST_F(SpotRemovalTest, AlwaysRemovesUpToTheMaximumAndWhitensOverlaps) {
  auto page = MakeGrey(40, 20, 255);
  FillRect(*page, 2, 2, 5, 3, 0);    // 8 pixels: removed
  FillRect(*page, 10, 2, 12, 4, 0);  // 9 pixels: kept
  Run(std::move(page), 5, 8);        // any value above 1 behaves as srAlways
  ASSERT_EQ(engine.Chars.Count(), 1);
  EXPECT_EQ(engine.Chars[0]->InkCount, 9);
  EXPECT_EQ(engine.Page->PixelByte(3, 3), 248);
}

TEST_F(SpotRemovalTest, AutomaticSizeIgnoresRejectedRecords) {
  // A picture far larger than the text must not turn small marks into specks.
  auto page = MakeGrey(400, 300, 255);
  FillRect(*page, 0, 100, 299, 299, 0);                                              // rejected: 300 x 200
  for (int i = 0; i < 4; ++i) FillRect(*page, 10 + 20 * i, 10, 19 + 20 * i, 29, 0);  // 10 x 20
  FillRect(*page, 200, 10, 201, 10, 0);  // 2 pixels: removed (S = 3)
  FillRect(*page, 210, 10, 211, 11, 0);  // 4 pixels: kept
  Run(std::move(page), srAlways, -1);
  EXPECT_EQ(engine.Chars.Count(), 6);
  EXPECT_EQ(CountWithInk(2), 0);
  EXPECT_EQ(CountWithInk(4), 1);
}

TEST_F(SpotRemovalTest, FillsPinHolesOnlyInLargeRecords) {
  auto page = MakeGrey(60, 40, 255);
  FillRect(*page, 1, 1, 18, 32, 0);  // 18 x 32: filled
  page->SetPixel(5, 5, 255);
  FillRect(*page, 30, 1, 46, 32, 0);  // 17 x 32: not
  page->SetPixel(35, 5, 255);
  Run(std::move(page), srAlways, 0);
  EXPECT_EQ(engine.Page->PixelByte(5, 5), 0);
  EXPECT_EQ(engine.Chars[0]->InkCount, 18 * 32);
  EXPECT_FALSE(IsInkByte(engine.Page->PixelByte(35, 5), 160));
}

// A wide block of ink, more than a word across, with single paper pixels
// anywhere in it (on its edge too) and a few paper pairs: exactly the
// single pixels inside the edge are filled, each counted once.
TEST_F(SpotRemovalTest, FillsEveryPinHoleOfAWideRecord) {
  auto page = MakeGrey(160, 50, 255);
  FillRect(*page, 2, 2, 151, 45, 0);  // 150 x 44
  std::vector<std::pair<int, int>> filled, kept;
  for (int x = 2; x <= 151; x += 7)
    for (int y = 2 + x % 5; y <= 45; y += 9) {
      page->SetPixel(x, y, 255);
      const bool inside = x > 2 && x < 151 && y > 2 && y < 45;
      (inside ? filled : kept).emplace_back(x, y);
    }
  FillRect(*page, 66, 21, 67, 21, 255);  // a pair: neither pixel has four ink neighbours
  FillRect(*page, 127, 30, 127, 31, 255);
  kept.insert(kept.end(), {{66, 21}, {67, 21}, {127, 30}, {127, 31}});
  Run(std::move(page), srAlways, 0);
  for (const auto& [x, y] : filled) EXPECT_EQ(engine.Page->PixelByte(x, y), 0) << x << "," << y;
  for (const auto& [x, y] : kept) EXPECT_FALSE(IsInkByte(engine.Page->PixelByte(x, y), 160)) << x << "," << y;
  ASSERT_EQ(engine.Chars.Count(), 1);
  EXPECT_EQ(engine.Chars[0]->InkCount, 150 * 44 - static_cast<int>(kept.size()));
}

TEST_F(SpotRemovalTest, NeverRemovesTheWholeZoneRecord) {
  engine.BeginRun();
  engine.AreaType = atCharacter;
  engine.Page = MakeGrey(10, 10, 255);
  engine.Threshold = 160;
  engine.SpotRemoval = srAlways;
  engine.MaxSpotSize = 8;
  engine.AddZoneAsChar(0, 0, 9, 9);
  engine.RemoveSpots();
  EXPECT_EQ(engine.Chars.Count(), 1);
}

}  // namespace
}  // namespace omniocr
