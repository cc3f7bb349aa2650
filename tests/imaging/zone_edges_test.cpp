#include "imaging/zone_edges.h"

#include <gtest/gtest.h>

#include "block_text.h"
#include "imaging/image_error.h"
#include "imaging/pixel_access.h"
#include "imaging/transforms.h"

namespace omniocr {
namespace {

using test::BlockTextPage;
using test::CountDarkPixels;
using test::TBlockText;

// Lines of 30-row letters at rows 30..59, 90..119, 150..179, ...
const TBlockText kLayout;

bool RowHasInk(const TDibGraphic& image, int y) {
  for (int x = 0; x < image.Width(); ++x)
    if (GreyOf(GetColor(image.ScanLine(y), x, image.BitCount(), image.Palette())) < 128) return true;
  return false;
}

TEST(ZoneEdges, AnEdgeThatClipsTheNextLineMovesToTheBlankBandBeforeIt) {
  const TDibGraphic page = BlockTextPage(kLayout);
  const struct {
    const char* Label;
    TZoneRect Zone;
    int Top, Bottom;  // expected
    bool TopMoved, BottomMoved;
  } cases[] = {
      // Rows 20..99: the bottom takes 10 rows of line 2; the band is 60..89.
      {"bottom clips the next line", {0, 20, 1200, 100}, 20, 75, false, true},
      // Rows 50..129: the top takes the lower 10 rows of line 1, the band is 60..89.
      {"top clips the line above", {0, 50, 1200, 130}, 74, 130, true, false},
      // Rows 55..165: both edges cut; lines 2 whole and the band above line 3.
      {"both edges", {100, 55, 700, 166}, 74, 135, true, true},
      // Rows 25..70: nothing cut.
      {"clean edges", {0, 25, 1200, 71}, 25, 71, false, false},
      // Rows 31..65: the top grazes line 1, which is almost whole: it stays.
      {"a grazed line stays", {0, 31, 1200, 66}, 31, 66, false, false},
      // Beyond the image: clipped first.
      {"clipped to the image", {-10, -10, 2000, 40}, 0, 40, false, false},
  };
  for (const auto& c : cases) {
    const TZoneCrop crop = CropZoneClearOfCutLines(page, c.Zone);
    EXPECT_EQ(crop.Zone.Top, c.Top) << c.Label;
    EXPECT_EQ(crop.Zone.Bottom, c.Bottom) << c.Label;
    EXPECT_EQ(crop.Zone.Left, std::max(c.Zone.Left, 0)) << c.Label;
    EXPECT_EQ(crop.Zone.Right, std::min(c.Zone.Right, page.Width())) << c.Label;
    EXPECT_EQ(crop.TopMoved, c.TopMoved) << c.Label;
    EXPECT_EQ(crop.BottomMoved, c.BottomMoved) << c.Label;
    EXPECT_EQ(crop.ErasedPieces, 0) << c.Label;
    ASSERT_EQ(crop.Image.Height(), crop.Zone.Height()) << c.Label;
    ASSERT_EQ(crop.Image.Width(), crop.Zone.Width()) << c.Label;
  }
}

// A line whose cut-off neighbour leaves no blank row between: the cut
// pieces (short stubs hanging into the zone) are erased, the letters stay.
TEST(ZoneEdges, WithoutABlankBandTheSmallPiecesAtTheEdgeAreErased) {
  for (const int bits : {1, 8, 24}) {
    TBlockText layout = kLayout;
    layout.Lines = 2;
    TDibGraphic page = BlockTextPage(layout);
    // Stubs from above that reach down to row 33, overlapping the rows of
    // line 1 (30..59) between its letters.
    for (int x = 53; x < 1100; x += 97) {
      if (page.ScanLine(45)[x] == 0 || page.ScanLine(45)[x + 1] == 0) continue;
      for (int y = 0; y <= 33; ++y) page.ScanLine(y)[x] = page.ScanLine(y)[x + 1] = 0;
    }
    TImageFormatTransform(bits).Apply(page);
    const int inkBefore = CountDarkPixels(page);
    const TZoneCrop crop = CropZoneClearOfCutLines(page, {0, 28, 1200, 62});
    EXPECT_FALSE(crop.TopMoved) << bits;
    EXPECT_EQ(crop.Zone.Top, 28) << bits;
    EXPECT_GT(crop.ErasedPieces, 5) << bits;
    TDibGraphic plain;
    TCropTransform(0, 28, 1200, 62).ApplyOnDest(page, plain);
    EXPECT_EQ(CountDarkPixels(plain) - CountDarkPixels(crop.Image), 2 * 6 * crop.ErasedPieces) << bits;
    EXPECT_FALSE(RowHasInk(crop.Image, 0)) << bits;  // rows 28, 29 held only stubs
    EXPECT_EQ(CountDarkPixels(page), inkBefore) << bits;
  }
}

TEST(ZoneEdges, AZoneOutsideTheImageIsRefused) {
  const TDibGraphic page = BlockTextPage(kLayout);
  EXPECT_THROW(CropZoneClearOfCutLines(page, {1300, 0, 1400, 50}), EImageError);
  EXPECT_THROW(CropZoneClearOfCutLines(page, {10, 10, 10, 50}), EImageError);
}

}  // namespace
}  // namespace omniocr
