#include "imaging/deskew.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "block_text.h"
#include "imaging/pixel_access.h"
#include "imaging/transforms.h"

namespace omniocr {
namespace {

using test::BlockTextPage;
using test::CountDarkPixels;
using test::TBlockText;

// The centre of the dark pixels.
void DarkCentre(const TDibGraphic& image, double& cx, double& cy) {
  double sx = 0, sy = 0, n = 0;
  for (int y = 0; y < image.Height(); ++y)
    for (int x = 0; x < image.Width(); ++x)
      if (GreyOf(GetColor(image.ScanLine(y), x, image.BitCount(), image.Palette())) < 128)
        sx += x, sy += y, ++n;
  cx = sx / n;
  cy = sy / n;
}

TDibGraphic PageWithSpot(int bitCount, int spotX, int spotY) {
  TDibGraphic page;
  page.SetSize(301, 151, 8);
  for (int y = 0; y < page.Height(); ++y) std::fill(page.ScanLine(y), page.ScanLine(y) + page.Width(), 255);
  for (int y = spotY - 2; y <= spotY + 2; ++y)
    for (int x = spotX - 2; x <= spotX + 2; ++x) page.ScanLine(y)[x] = 0;
  TImageFormatTransform(bitCount).Apply(page);
  return page;
}

// A spot near a corner moves with the page, stays whole on the grown
// canvas, and its place maps back to where it was.
TEST(RotateImage, PointsOfTheTurnedImageMapBackOntoTheSource) {
  for (const int bits : {1, 8, 24})
    for (const double degrees : {0.5, 2.0, -3.0, 5.0}) {
      const TDibGraphic page = PageWithSpot(bits, 280, 12);
      TRotation rotation;
      const TDibGraphic turned = RotateImage(page, degrees, &rotation);
      EXPECT_EQ(turned.BitCount(), bits);
      EXPECT_GE(turned.Width(), page.Width());
      EXPECT_GE(turned.Height(), page.Height());
      EXPECT_NEAR(CountDarkPixels(turned), 25, 6) << bits << " bits, " << degrees;
      double cx = 0, cy = 0, sx = 0, sy = 0;
      DarkCentre(turned, cx, cy);
      rotation.ToSource(cx, cy, sx, sy);
      EXPECT_NEAR(sx, 280, 1.0) << bits << " bits, " << degrees;
      EXPECT_NEAR(sy, 12, 1.0) << bits << " bits, " << degrees;
      double tx = 0, ty = 0;
      rotation.FromSource(280, 12, tx, ty);
      EXPECT_NEAR(tx, cx, 1.0) << bits << " bits, " << degrees;
      EXPECT_NEAR(ty, cy, 1.0) << bits << " bits, " << degrees;
      // Counter-clockwise: a spot right of the centre rises.
      EXPECT_EQ(cy<12 + rotation.BorderTop, degrees> 0) << bits << " bits, " << degrees;
      // White comes in at the corners.
      EXPECT_EQ(GreyOf(GetColor(turned.ScanLine(0), 0, bits, turned.Palette())), 255u);
    }
}

bool SamePixels(const TDibGraphic& a, const TDibGraphic& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height() || a.BitCount() != b.BitCount() ||
      a.Palette() != b.Palette() || a.XDpi != b.XDpi || a.YDpi != b.YDpi)
    return false;
  for (int y = 0; y < a.Height(); ++y)
    if (!std::equal(a.ScanLine(y), a.ScanLine(y) + a.Stride(), b.ScanLine(y))) return false;
  return true;
}

// An image given up to the rotation turns as a kept one does, and is left empty.
TEST(RotateImage, AnImageGivenUpTurnsTheSame) {
  for (const int bits : {1, 8, 24})
    for (const double degrees : {0.0, 2.0}) {
      TDibGraphic page = PageWithSpot(bits, 280, 12);
      page.XDpi = 300, page.YDpi = 200;
      TRotation kept, given;
      const TDibGraphic expected = RotateImage(page, degrees, &kept);
      const TDibGraphic turned = RotateImage(std::move(page), degrees, &given);
      EXPECT_TRUE(SamePixels(turned, expected)) << bits << " bits, " << degrees;
      EXPECT_EQ(given.BorderLeft, kept.BorderLeft);
      EXPECT_EQ(given.BorderTop, kept.BorderTop);
      EXPECT_EQ(given.CentreX, kept.CentreX);
      EXPECT_EQ(given.SourceWidth, kept.SourceWidth);
      EXPECT_TRUE(page.Empty()) << bits << " bits, " << degrees;  // NOLINT(bugprone-use-after-move)
    }
}

TEST(RotateImage, NoTurnIsTheIdentity) {
  const TDibGraphic page = PageWithSpot(8, 100, 100);
  TRotation rotation;
  const TDibGraphic same = RotateImage(page, 0, &rotation);
  EXPECT_TRUE(rotation.IsIdentity());
  EXPECT_EQ(same.Width(), page.Width());
  double sx = 0, sy = 0;
  rotation.ToSource(100, 100, sx, sy);
  EXPECT_DOUBLE_EQ(sx, 100);
  EXPECT_DOUBLE_EQ(sy, 100);
}

TEST(FindSkew, FindsTheAngleOfTurnedLinesWithinATenthOfADegree) {
  const TDibGraphic page = BlockTextPage(TBlockText());
  for (const double degrees : {0.5, 1.0, 2.0, 3.0, -2.0, -4.5}) {
    const TSkew skew = FindSkew(RotateImage(page, degrees));
    EXPECT_TRUE(skew.Found) << degrees;
    EXPECT_NEAR(skew.Angle, degrees, 0.1) << degrees;
  }
}

TEST(FindSkew, StraightBlankAndTinyPagesAreLeftAlone) {
  const TSkew straight = FindSkew(BlockTextPage(TBlockText()));
  EXPECT_FALSE(straight.Found);
  EXPECT_NEAR(straight.Angle, 0, 0.1);
  TDibGraphic blank;
  blank.SetSize(400, 300, 8);
  for (int y = 0; y < blank.Height(); ++y)
    std::fill(blank.ScanLine(y), blank.ScanLine(y) + blank.Width(), 255);
  EXPECT_FALSE(FindSkew(blank).Found);
  TDibGraphic tiny;
  tiny.SetSize(20, 10, 1);
  EXPECT_FALSE(FindSkew(tiny).Found);
}

TEST(DeskewImage, StraightensATurnedPageAndLeavesAStraightOneAsItIs) {
  const TBlockText layout;
  const TDibGraphic page = BlockTextPage(layout);
  TDibGraphic turned = RotateImage(page, 2.0);
  const TDeskewResult result = DeskewImage(turned);
  ASSERT_TRUE(result.Skew.Found);
  EXPECT_FALSE(result.Rotation.IsIdentity());
  // Every line is level again: a blank row lies between each pair of lines.
  int blankRows = 0;
  for (int y = 0; y < turned.Height(); ++y) {
    bool ink = false;
    for (int x = 0; x < turned.Width() && !ink; ++x) ink = turned.ScanLine(y)[x] < 128;
    blankRows += ink ? 0 : 1;
  }
  EXPECT_GE(blankRows, turned.Height() - layout.Lines * (layout.LetterHeight + 6));

  TDibGraphic straight = page;
  const TDeskewResult none = DeskewImage(straight);
  EXPECT_FALSE(none.Skew.Found);
  EXPECT_TRUE(none.Rotation.IsIdentity());
  EXPECT_EQ(straight.Width(), page.Width());
  EXPECT_EQ(std::vector<std::uint8_t>(straight.ScanLine(5), straight.ScanLine(5) + straight.Width()),
            std::vector<std::uint8_t>(page.ScanLine(5), page.ScanLine(5) + page.Width()));
}

}  // namespace
}  // namespace omniocr
