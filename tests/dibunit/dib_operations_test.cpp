#include <gtest/gtest.h>

#include <memory>

#include "dibunit/dib.h"
#include "dibunit/errors.h"
#include "support/test_bitmaps.h"

namespace omniocr {
namespace {

using test::FromArt;

// Art of a two-level bitmap: '#' black (0), '.' white (1).
std::unique_ptr<TDIB> Bilevel(const std::vector<std::string>& art) {
  auto dib = FromArt(art);
  dib->ConvertTo(df1Bit);
  return dib;
}

std::vector<std::string> Art(const TDIB& dib) {
  std::vector<std::string> rows;
  const std::int32_t black = dib.BlackIndex();
  for (int y = 0; y < dib.Height(); ++y) {
    std::string row;
    for (int x = 0; x < dib.Width(); ++x) row += dib.GetPixel(x, y) == black ? '#' : '.';
    rows.push_back(row);
  }
  return rows;
}

TEST(CopyRect, CopiesWholeValuesAndRefusesRectanglesOutside) {
  auto page = test::MakeGrey(8, 6, 200);
  page->SetPixel(3, 4, 0x47);
  std::unique_ptr<TDIB> one(page->CopyRect(3, 4, 3, 4));
  EXPECT_EQ(one->Width(), 1);
  EXPECT_EQ(one->GetPixel(0, 0), 0x47);  // mark bits included
  std::unique_ptr<TDIB> part(page->CopyRect(2, 3, 5, 5));
  EXPECT_EQ(part->Width(), 4);
  EXPECT_EQ(part->Height(), 3);
  EXPECT_EQ(part->GetPixel(1, 1), 0x47);
  EXPECT_THROW(page->CopyRect(5, 0, 2, 1), EOCRError);   // reversed
  EXPECT_THROW(page->CopyRect(0, 0, 8, 1), EOCRError);   // past the right edge
  EXPECT_THROW(page->CopyRect(-1, 0, 2, 1), EOCRError);  // before the left edge
}

TEST(Duplicate, CopiesTheWholePackedBitmap) {
  auto page = FromArt({"#.", ".#"});
  std::unique_ptr<TDIB> copy(page->Duplicate());
  EXPECT_EQ(copy->GetPixel(0, 0), 0);
  EXPECT_EQ(copy->GetPixel(1, 0), 255);
  EXPECT_NE(copy->Handle, page->Handle);
}

TEST(ConvertTo1Bit, KeepsOnlyZeroAsBlack) {
  auto dib = FromArt({"#1.", "9#."});
  dib->ConvertTo(df1Bit);
  EXPECT_EQ(dib->Format, df1Bit);
  EXPECT_EQ(dib->Header->ColorsUsed, 2u);
  EXPECT_EQ(Art(*dib), (std::vector<std::string>{"#..", ".#."}));
  dib->ConvertTo(df8Bit);
  EXPECT_EQ(dib->GetPixel(1, 0), 255);
  EXPECT_EQ(dib->GetPixel(0, 0), 0);
}

TEST(BilevelFilters, ThinStrokesGapsAndLonePixels) {
  struct Case {
    const char* what;
    void (TDIB::*filter)();
    std::vector<std::string> before, after;
  } cases[] = {
      {"one-pixel line disappears",
       &TDIB::EraseThinInk,
       {".....", "..#..", "..#..", "..#..", "....."},
       {".....", ".....", ".....", ".....", "....."}},
      {"two-pixel line stays",
       &TDIB::EraseThinInk,
       {"......", "..##..", "..##..", "..##..", "......"},
       {"......", "..##..", "..##..", "..##..", "......"}},
      {"white pixel in black closes", &TDIB::FillThinGaps, {"###", "#.#", "###"}, {"###", "###", "###"}},
      {"white pixel in black smooths",
       &TDIB::SmoothBilevel,
       {"#####", "#####", "##.##", "#####", "#####"},
       {"#####", "#####", "#####", "#####", "#####"}},
      {"lone black pixel smooths away",
       &TDIB::SmoothBilevel,
       {".....", ".....", "..#..", ".....", "....."},
       {".....", ".....", ".....", ".....", "....."}},
      // Row 1's upper neighbour counts as black whatever row 0 holds: with
      // white on the left, right and below, the pixel still turns white.
      {"row one counts black above",
       &TDIB::SmoothBilevel,
       {".......", "...#...", ".......", "......."},
       {".......", ".......", ".......", "......."}},
      // Columns 0 and 2 count as black too, so white between them turns black;
      // the row below then still sees that pixel's value from before the filter.
      {"edge columns count black",
       &TDIB::SmoothBilevel,
       {"...", "...", "...", "..."},
       {"...", ".#.", "...", "..."}},
  };
  for (const Case& c : cases) {
    auto dib = Bilevel(c.before);
    (dib.get()->*c.filter)();
    EXPECT_EQ(Art(*dib), c.after) << c.what;
  }
}

TEST(ColumnProfile, CountsLevelsPerColumnAndValidatesBounds) {
  auto page = FromArt({"#..", "#1.", ".9#"});
  std::vector<std::int32_t> dark = page->ColumnProfile(0, 159, 0, 0, 2, 2);
  EXPECT_EQ(dark, (std::vector<std::int32_t>{2, 1, 1}));
  EXPECT_EQ(page->ColumnProfile(1, 0, 0, 0, 2, 2), (std::vector<std::int32_t>{0, 0, 0}));
  auto message = [&](int l, int t, int r, int b) -> std::string {
    try {
      page->ColumnProfile(0, 159, l, t, r, b);
    } catch (const EOCRError& e) {
      return e.what();
    }
    return "";
  };
  EXPECT_EQ(message(0, 3, 2, 3), "Invalid start line");
  EXPECT_EQ(message(0, 0, 2, 3), "Invalid end line");
  EXPECT_NE(message(-1, 0, 2, 2), "");
  EXPECT_NE(message(0, 0, 3, 2), "");
  EXPECT_NE(message(2, 0, 1, 2), "");
}

}  // namespace
}  // namespace omniocr
