// The per-character driver: box handling, the retries and their limits, the
// guards around the glyph bitmap.

#include "engine/classify/driver.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "engine/classify/candidates.h"
#include "engine/classify/dispatcher.h"
#include "engine/classify/probe_scratch.h"
#include "engine/classify/probes.h"
#include "glyph_fixtures.h"
#include "support/test_bitmaps.h"

namespace omniocr::test {
namespace {

const TLineGuides kGuides{2, 6, 15, 19};

// A plain upright 1 (a stem with a flag), 12 rows on the baseline.
const std::vector<std::string> kOne = {
    "..........",  //
    "..........", "....##....", "...###....", "..####....", "....##....", "....##....", "....##....",
    "....##....", "....##....", "....##....", "....##....", "....##....", "..######..", "..######..",
    "..........", "..........", "..........", "..........", "..........",
};

TEST(Driver, OversizedBoxIsRejectedWithoutCandidates) {
  auto page = MakeGrey(160, 160, 255);
  FillRect(*page, 5, 5, 154, 154, 0);
  TPageFixture fixture({"#"}, kGuides);
  fixture.Engine.Page = std::move(page);
  TOCRChar& g = fixture.Record(0);
  g.Page = fixture.Engine.Page.get();
  g.Left = g.Top = 5;
  g.Right = g.Bottom = 154;
  g.StartX = g.StartY = 5;
  EXPECT_EQ(RecognizeGlyph(fixture.Engine, g, fixture.Engine.Threshold, 0), RejectedChar);
  EXPECT_EQ(g.CandCount, 0);
}

TEST(Driver, ConfidentFirstReadingIsDispatchedOnce) {
  TPageFixture fixture(kOne, kGuides);
  ASSERT_EQ(fixture.Count(), 1);
  EXPECT_EQ(fixture.Read(0), u'1');
  EXPECT_GE(fixture.Record(0).CandConf[0], 95);
  EXPECT_EQ(fixture.Engine.DispatchCount, 1);
  EXPECT_EQ(fixture.Engine.FillPass, 0);
  // The box is tightened to the ink.
  EXPECT_EQ(fixture.Record(0).Top, 2);
  EXPECT_EQ(fixture.Record(0).Bottom, 14);
}

TEST(Driver, UnreadGlyphRunsEveryRetryAndTheAccentlessPassAgain) {
  // A blob no rule reads: first dispatch, two neighbourhood passes, two grey
  // retries, and the whole driver once more at level 1 (the accent sentinel).
  TPageFixture fixture({"......", ".####.", ".#..#.", ".#.##.", ".####.", "......"}, {0, 1, 4, 6});
  EXPECT_EQ(fixture.Read(0), NoChar);
  EXPECT_EQ(fixture.Engine.DispatchCount, 10);
  EXPECT_EQ(fixture.Engine.FillPass, 0);
}

TEST(Driver, BilevelSourceRepairsInsteadOfGreyRetries) {
  TPageFixture fixture({"......", ".####.", ".#..#.", ".#.##.", ".####.", "......"}, {0, 1, 4, 6}, true);
  EXPECT_EQ(fixture.Read(0), NoChar);
  EXPECT_EQ(fixture.Engine.DispatchCount, 10);
}

TEST(Driver, GreyRetryThresholdsKeepGlyphPaperAsPaper) {
  struct TCase {
    int threshold, delta, expected;
  } cases[] = {{128, 32, 160}, {128, -32, 96}, {230, 32, 248}, {250, 32, 248}, {20, -32, 1}, {255, 32, 248}};
  for (const TCase& c : cases) EXPECT_EQ(RetryThreshold(c.threshold, c.delta), c.expected) << c.threshold;
  // At the highest retry threshold the glyph bitmap's paper (248) is still paper.
  EXPECT_FALSE(IsInkByte(248, RetryThreshold(255, 32)));
}

TEST(Driver, LevelZeroClearsAnInheritedAccent) {
  TPageFixture fixture(kOne, kGuides);
  TOCRChar& g = fixture.Record(0);
  g.MarkAbove = 1;
  g.Accent = acAcute;
  EXPECT_EQ(fixture.Read(0), u'1');
  EXPECT_EQ(g.MarkAbove, 0);
  EXPECT_EQ(g.Accent, 0);
  EXPECT_EQ(g.BestChar, u'1');
}

TEST(Driver, SeedSearchSkipsAStaleSeedAndStaysInsideThePage) {
  TPageFixture fixture(kOne, kGuides);
  TOCRChar& g = fixture.Record(0);
  g.StartX = -50;  // outside the page: the search finds the stem instead
  g.StartY = 999;
  EXPECT_EQ(fixture.Read(0), u'1');
}

TEST(Driver, GlyphBitmapKeepsOnlyTheCharactersOwnRegions) {
  // A neighbour's ink reaching into the box is paper in the glyph bitmap; a
  // broken piece crossing the middle row stays.
  TPageFixture fixture(
      {
          "##......",
          "##.###..",
          "...#.#..",
          "...###.#",
          "........",
          "...###..",
          "...#.#..",
          "...###..",
      },
      kGuides);
  TOCRChar g = fixture.Record(1);
  ASSERT_EQ(g.Left, 3);
  g.Left = 0;
  g.Top = 0;
  g.Right = 7;
  g.Bottom = 7;
  auto bitmap = CutGlyphBitmap(fixture.Engine, g, 3, 1, fixture.Engine.Threshold);
  EXPECT_EQ(bitmap->PixelByte(0, 0), 248);  // the neighbour
  EXPECT_EQ(bitmap->PixelByte(3, 1), 1);    // the seed's region, marked 1
  EXPECT_EQ(bitmap->PixelByte(4, 2), 248);  // paper inside
  EXPECT_EQ(bitmap->PixelByte(3, 7), 1);    // a piece crossing the lower probe row
  EXPECT_EQ(bitmap->PixelByte(7, 3), 248);  // a piece off the probe rows
}

// Within a driver call the cut hands the paper of its box to the hole count
// that follows; the count must be the one read from the page: marked paper
// (white 255) is no hole, and a box at the page's right edge reads its last
// pixels as the page holds them.
TEST(Driver, HoleCountAfterACutReadsThePaperAsThePageHoldsIt) {
  struct TCase {
    const char* name;
    std::vector<std::string> art;
    std::uint8_t inner;  // the paper inside the ring
  } cases[] = {
      {"clean hole", {"......", ".####.", ".#..#.", ".#..#.", ".####.", "......"}, 248},
      {"marked hole", {"......", ".####.", ".#..#.", ".#..#.", ".####.", "......"}, 255},
      {"one marked pixel", {"......", ".####.", ".#..#.", ".#..#.", ".####.", "......"}, 249},
      {"page wider than sixteen",
       {"....................", ".####...............", ".#..#...............", ".####..............."},
       255},
      {"at the right edge", {"....", ".###", ".#.#", ".###"}, 248},
      {"wide, at the right edge",
       {"...................", ".##################", ".#................#", ".##################"},
       248},
  };
  for (const TCase& c : cases) {
    TOmnifontOCR engine;
    auto page = FromArt(c.art);
    const int w = page->Width(), h = page->Height();
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (page->PixelByte(x, y) == 255) page->SetPixel(x, y, 248);  // paper as extraction leaves it
    page->SetPixel(2, 2, c.inner);
    TOCRChar g;
    g.Page = page.get();
    g.Left = g.Top = 1;
    g.Right = static_cast<int>(c.art[1].rfind('#'));
    g.Bottom = std::min(h - 1, 4);
    const int thr = 128;
    TProbeScratch& scratch = engine.Scratch();
    const TPixelsKept kept(scratch);
    TDIB bitmap;
    CutGlyphBitmap(engine, g, 1, 1, thr, bitmap);
    THoleList handed, read;
    const int count = CountHoles(engine, *page, g.Left, g.Top, g.Right, g.Bottom, thr, &handed);
    scratch.PixelsChanged();  // the next count reads the page
    EXPECT_EQ(count, CountHoles(engine, *page, g.Left, g.Top, g.Right, g.Bottom, thr, &read)) << c.name;
    ASSERT_EQ(handed.HoleCount, read.HoleCount) << c.name;
    for (int k = 0; k < read.HoleCount; ++k) EXPECT_EQ(handed.Holes[k].Size, read.Holes[k].Size) << c.name;
  }
}

// Every pixel of a cut, for boxes of every width up to past two sixteens and
// at either edge of the page: the glyph's grey level marked 1, and paper
// (248) beside it.
TEST(Driver, GlyphCutWritesEveryPixelOfEveryWidth) {
  for (int w = 1; w <= 40; ++w)
    for (const int left : {0, 3}) {
      const int pageWidth = left == 0 ? w : w + 6;  // flush with both edges, or inside the page
      auto page = MakeGrey(pageWidth, 3, 248);
      for (int x = left; x < left + w; ++x) page->SetPixel(x, 1, static_cast<std::uint8_t>(16 + 8 * (x % 8)));
      page->SetPixel(left + w - 1, 0, 40);  // ink of the box not joined to the seed's row but to its end
      TOmnifontOCR engine;
      TOCRChar g;
      g.Page = page.get();
      g.Left = left;
      g.Right = left + w - 1;
      g.Top = 0;
      g.Bottom = 2;
      auto bitmap = CutGlyphBitmap(engine, g, left, 1, 128);
      ASSERT_EQ(bitmap->Width(), w);
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < w; ++x) {
          const int grey = page->PixelByte(left + x, y);
          const int expected = grey < 128 ? (grey | 1) : 248;
          ASSERT_EQ(bitmap->PixelByte(x, y), expected)
              << "width " << w << " at " << left << ": " << x << "," << y;
        }
    }
}

TEST(Dispatcher, NumericOnlyRunsTheDigitRecogniserOnly) {
  TPageFixture fixture(kOne, kGuides);
  fixture.Engine.NumericOnly = true;
  fixture.Read(0);
  for (int k = 0; k < fixture.Record(0).CandCount; ++k) {
    const TCharCode ch = fixture.Record(0).CandChar[k];
    EXPECT_TRUE((ch >= u'0' && ch <= u'9') || ch == u'.' || ch == u',' || ch == u'-' || ch == u'\'' ||
                ch == u':' || ch == u';')
        << static_cast<int>(ch);
  }
}

void OffersThenThrows(const TOmnifontOCR& engine, const TRecogContext& context) {
  SetAC(engine, *context.Glyph, u'7', 60);
  throw std::runtime_error("probe failed");
}

TEST(Dispatcher, ExceptionInARecogniserKeepsItsEarlierCandidates) {
  TPageFixture fixture(kOne, kGuides);
  TRecogContext context;
  context.Glyph = &fixture.Record(0);
  EXPECT_NO_THROW(RunGuarded(OffersThenThrows, fixture.Engine, context));
  EXPECT_EQ(fixture.Record(0).CandCount, 1);
  EXPECT_EQ(fixture.Record(0).BestChar, u'7');
}

TEST(Dispatcher, TallAndDescendsFollowTheGuides) {
  TOCRChar g;
  g.AscLine = 10;
  g.MeanLine = 20;
  g.BaseLine = 40;
  g.DescLine = 50;
  struct TCase {
    int top, bottom;
    bool tall, descends;
  } cases[] = {
      {12, 40, true, false},   // reaches the middle of the ascender zone
      {20, 40, false, false},  // x-height
      {20, 49, false, true},   // descender
      {16, 43, true, false},   // a little low: shifted up by its overhang it is tall
  };
  for (const TCase& c : cases) {
    g.Top = c.top;
    g.Bottom = c.bottom;
    EXPECT_EQ(IsTall(g), c.tall) << c.top << ".." << c.bottom;
    EXPECT_EQ(IsDescending(g), c.descends) << c.top << ".." << c.bottom;
  }
}

}  // namespace
}  // namespace omniocr::test

namespace omniocr::test {
namespace {

// Two legs on a foot that runs past them on both sides, 8 x 10.
const std::vector<std::string> kFootedArch = {
    "..........", "..........", ".########.", ".##....##.", ".##....##.", ".##....##.", ".##....##.",
    ".##....##.", ".##....##.", ".##....##.", ".##....##.", "##########", "..........",
};

TEST(Driver, BottomBridgeIsCutInItsMiddleOnBitmapAndPage) {
  TPageFixture fixture(kFootedArch, {0, 2, 11, 14});
  const TOCRChar& g = fixture.Record(0);
  fixture.Read(0);
  EXPECT_EQ(fixture.Engine.Page->PixelByte(5, 11), 176);
  EXPECT_EQ(g.Bottom, 11);
}

TEST(Driver, BottomRowWithoutGlyphInkNeedsNoBridge) {
  // The box's bottom row holds only a neighbour's ink: in the glyph bitmap it
  // is blank, so there is no run to cut and nothing is read past its end.
  std::vector<std::string> rows = kFootedArch;
  rows[11] = "..........";
  rows[12] = "#.........";
  TPageFixture fixture(rows, {0, 2, 11, 14});
  ASSERT_EQ(fixture.Count(), 2);
  TOCRChar& g = fixture.Record(1);  // the arch; record 0 is the neighbour
  g.Left = 0;
  g.Bottom = 12;
  fixture.Read(1);
  EXPECT_EQ(fixture.Engine.Page->PixelByte(0, 12) & 0xF8, 0);
  for (int x = 0; x < 10; ++x) EXPECT_NE(fixture.Engine.Page->PixelByte(x, 12), 176);
}

TEST(Digits, ZeroWithADotInsideIsReadByTheSecondTestAtMost80) {
  const TArtLine line = LoadDigitLine("mono-36");
  std::vector<std::string> rows;
  for (const std::string& r : line.Rows) rows.push_back(r.substr(0, 30));
  for (int y = 27; y <= 30; ++y) rows[y].replace(13, 3, "###");
  TPageFixture fixture(rows, line.Guides);
  ASSERT_EQ(fixture.Count(), 2);  // the ring and its dot
  EXPECT_EQ(fixture.Read(0), u'0');
  EXPECT_LE(fixture.Record(0).CandConf[0], 80);
  EXPECT_GT(fixture.Record(0).CandConf[0], 0);
}

}  // namespace
}  // namespace omniocr::test
