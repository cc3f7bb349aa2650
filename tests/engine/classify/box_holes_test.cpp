// The holes of a rectangle inside a glyph's box, told from the box's own hole
// list, against the same rectangle counted on the page: on random pages of
// rings and specks (holes of every size, one-pixel ones, more than a list
// keeps, lists the pruning left moved entries in), in both neighbourhoods,
// with the box's bottom trimmed after its holes were counted, and with
// rectangles inside the box, on its edges and reaching past it.

#include "engine/classify/box_holes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "engine/omnifont_ocr.h"
#include "engine/page_marks.h"
#include "support/test_bitmaps.h"

namespace omniocr {
namespace {

constexpr std::uint8_t kPaper = 248, kMarkedPaper = 255;

// A rectangle and the holes it has.
struct TRectangleHoles {
  int x1, x2, y1, y2, holes;
};

// Each rectangle's holes, told from the box's list and counted on the page.
void ExpectHoles(const TPageProbes& P, const THoleList& box, std::span<const TRectangleHoles> cases) {
  for (const TRectangleHoles& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x1 << ".." << c.x2 << " x " << c.y1 << ".." << c.y2);
    EXPECT_EQ(HolesInBox(P, box, c.x1, c.x2, c.y1, c.y2), c.holes);
    EXPECT_EQ(P.holes(c.x1, c.x2, c.y1, c.y2), c.holes);
  }
}

class BoxHolesTest : public ::testing::Test {
 protected:
  std::mt19937 rng{20261211};
  TOmnifontOCR engine;
  int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

  void Ring(TDIB& page, int x0, int y0, int x1, int y1) {
    test::FillRect(page, x0, y0, x1, y0, 0);
    test::FillRect(page, x0, y1, x1, y1, 0);
    test::FillRect(page, x0, y0, x0, y1, 0);
    test::FillRect(page, x1, y0, x1, y1, 0);
  }

  // Unmarked paper with rings of ink (each a hole of its own size, from one
  // pixel up), some nested or overlapping, on some pages a grid of small
  // ones (more holes than a list keeps), and loose specks of ink, paper and
  // marked paper.
  std::unique_ptr<TDIB> RandomRings(int w, int h, bool grid) {
    auto page = test::MakeGrey(w, h, kPaper);
    if (grid)
      for (int y = Pick(-1, 1); y + 3 < h; y += 3)
        for (int x = Pick(-1, 1); x + 3 < w; x += 3) Ring(*page, x, y, x + 3, y + 3);
    const int rings = Pick(0, 30);
    for (int k = 0; k < rings; ++k) {
      const int x0 = Pick(-2, w - 1), y0 = Pick(-2, h - 1);
      const int x1 = x0 + (k % 3 == 0 ? 2 : Pick(2, 14)), y1 = y0 + (k % 3 == 0 ? 2 : Pick(2, 14));
      Ring(*page, x0, y0, x1, y1);
    }
    static constexpr std::uint8_t kSpecks[] = {0, kPaper, kMarkedPaper};
    const int specks = Pick(0, 20);
    for (int k = 0; k < specks; ++k) {
      const int x = Pick(0, w - 1), y = Pick(0, h - 1);
      test::FillRect(*page, x, y, x, y, kSpecks[Pick(0, 2)]);
    }
    return page;
  }

  // The page drawn by `art` as one glyph's box: its hole list holds
  // `boxHoles` significant holes, and each rectangle has its holes.
  void ExpectHolesOnArt(const std::vector<std::string>& art, int boxHoles,
                        std::span<const TRectangleHoles> cases) {
    const auto page = test::FromArt(art);
    const int R = page->Width() - 1, B = page->Height() - 1;
    ClearMarks(*page, 0, R, 0, B);
    THoleList box;
    ASSERT_EQ(CountHoles(engine, *page, 0, 0, R, B, 128, &box), boxHoles);
    ExpectHoles(TPageProbes(engine, *page, 128, 0, 0, R, B), box, cases);
  }
};

TEST_F(BoxHolesTest, AnswersAsTheRectangleCountedOnThePage) {
  int told = 0, counted = 0, fullLists = 0, prunedLists = 0;
  for (int round = 0; round < 3000; ++round) {
    const int w = round % 25 == 0 ? Pick(65, 90) : Pick(3, 40), h = Pick(3, 40);
    const auto page = RandomRings(w, h, round % 10 == 0);
    const int L = Pick(0, w - 3), T = Pick(0, h - 3);
    const int R = Pick(L + 2, w - 1), countedBottom = Pick(T + 2, h - 1);
    for (const int pass : {0, 1}) {
      engine.FillPass = pass;
      THoleList box;
      const int significant = CountHoles(engine, *page, L, T, R, countedBottom, 128, &box);
      fullLists += box.HoleCount == kMaxHoles ? 1 : 0;
      prunedLists += box.HoleCount > significant ? 1 : 0;
      // The view's box, its bottom trimmed after the count or not.
      const int B = round % 3 == 0 ? Pick(T, countedBottom) : countedBottom;
      const TPageProbes P(engine, *page, 128, L, T, R, B);
      for (int k = 0; k < 8; ++k) {
        // Bands of the box as the rules ask them, and any rectangle.
        const bool band = k % 2 == 0;
        const int x1 = band ? Pick(L, L + 1) : Pick(L - 1, R),
                  x2 = band ? Pick(R - 1, R) : Pick(x1 - 1, R + 1);
        const int y1 = Pick(T - 1, B), y2 = band ? Pick(std::max(y1, B - 1), B) : Pick(y1 - 1, B + 1);
        SCOPED_TRACE(testing::Message() << "round " << round << " pass " << pass << " rectangle " << x1
                                        << ".." << x2 << " x " << y1 << ".." << y2);
        ASSERT_EQ(HolesInBox(P, box, x1, x2, y1, y2), P.holes(x1, x2, y1, y2));
        const bool inside = x1 >= L && x2 <= R && y1 >= T && y2 <= B;
        const bool fromList = inside && (x2 - x1 + 1) * (y2 - y1 + 1) > 40 && box.HoleCount < kMaxHoles &&
                              box.HoleCount == significant && x2 - x1 >= 2 && y2 - y1 >= 2;
        ++(fromList ? told : counted);
      }
    }
  }
  // The random pages reach every case the list must tell apart.
  EXPECT_GT(told, 1000);
  EXPECT_GT(counted, 1000);
  EXPECT_GT(fullLists, 10);
  EXPECT_GT(prunedLists, 10);
}

// A ring inside the box's upper half: a rectangle over the lower half has no
// hole, one over the upper half or over the whole box has it; a hole on the
// rectangle's edge is not one of the rectangle.
TEST_F(BoxHolesTest, KeepsOnlyTheBoxHolesOffTheRectanglesEdge) {
  const std::vector<std::string> art = {
      "............", ".########...", ".#......#...", ".#......#...", ".#......#...",
      ".########...", "............", "............", "............", "............",
  };
  const TRectangleHoles cases[] = {
      {0, 11, 0, 9, 1},   // the whole box
      {0, 11, 0, 6, 1},   // the upper part, the ring inside it
      {0, 11, 4, 9, 0},   // the lower part cuts the ring
      {0, 11, 2, 9, 0},   // the hole's top row on the edge
      {0, 11, 1, 9, 1},   // the ring's top row on the edge, the hole off it
      {2, 11, 0, 9, 0},   // the hole's left column on the edge
      {0, 11, 0, 1, 0},   // two rows: never a hole
      {-1, 11, 0, 9, 1},  // reaching past the box: counted on the page
  };
  ExpectHolesOnArt(art, 1, cases);
}

// A box of more than 40 pixels drops its one-pixel holes from its list; a
// rectangle of 40 or fewer counts them. Without paper off its edge it has
// none; with the one-pixel hole off its edge it has that one.
TEST_F(BoxHolesTest, SmallRectanglesKeepTheOnePixelHolesTheBoxDrops) {
  const std::vector<std::string> art = {
      "########", "########", "########", "######.#", "########", "#.######", "########",
  };
  const TRectangleHoles cases[] = {
      {0, 4, 0, 4, 0},  // solid inside its edge
      {4, 7, 1, 4, 1},  // the one-pixel hole at (6, 3) off the edge
      {5, 7, 2, 5, 1},  // the same, in three columns
      {6, 7, 2, 5, 0},  // two columns: never a hole
      {0, 2, 4, 6, 1},  // the one at (1, 5)
      {1, 3, 4, 6, 0},  // (1, 5) on the left edge
      {0, 3, 0, 3, 0},  // solid, paper only outside the rectangle
  };
  ExpectHolesOnArt(art, 0, cases);
}

}  // namespace
}  // namespace omniocr
