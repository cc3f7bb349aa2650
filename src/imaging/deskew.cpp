#include "imaging/deskew.h"

#include <leptonica/allheaders.h>

#include <cmath>
#include <new>
#include <numbers>
#include <utility>

#include "imaging/image_error.h"
#include "imaging/ink_mask.h"
#include "imaging/leptonica_image.h"

namespace omniocr {

namespace {

// Leptonica's own limits for a skew it would correct: a weaker score ratio
// is no evidence of lines, and a smaller angle moves no pixel that matters.
constexpr double kMinConfidence = 3.0;
constexpr double kMinAngle = 0.1;
constexpr double kSweepStep = 1.0;
// Leptonica gives no confidence to an angle near either end of its sweep, so
// the sweep reaches beyond the range searched.
constexpr double kSweepRange = kSkewSearchRange + 2.0;
constexpr double kSearchPrecision = 0.01;
// Below this a page holds too few rows for a profile worth scoring.
constexpr int kMinSide = 32;

double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

// The sweep runs on a mask reduced so that it stays a few hundred pixels
// wide; the binary search on one reduced half as much.
int SweepReduction(int width) {
  if (width >= 1600) return 4;
  if (width >= 800) return 2;
  return 1;
}

}  // namespace

TSkew FindSkew(const TDibGraphic& image) {
  if (image.Width() < kMinSide || image.Height() < kMinSide) return TSkew();
  return FindSkew(image, GreyHistogram(image));
}

TSkew FindSkew(const TDibGraphic& image, const THistogram& greyHistogram) {
  TSkew skew;
  if (image.Width() < kMinSide || image.Height() < kMinSide) return skew;
  const TPixPtr mask = InkMask(image, greyHistogram);
  const int sweep = SweepReduction(image.Width());
  const int search = sweep > 1 ? sweep / 2 : 1;
  l_float32 angle = 0, confidence = 0;
  if (pixFindSkewSweepAndSearch(mask.get(), &angle, &confidence, sweep, search,
                                static_cast<l_float32>(kSweepRange), static_cast<l_float32>(kSweepStep),
                                static_cast<l_float32>(kSearchPrecision)) != 0)
    return skew;
  // Leptonica gives the clockwise turn that straightens the lines, which is
  // the lines' counter-clockwise skew.
  skew.Angle = angle;
  skew.Confidence = confidence;
  skew.Found = confidence >= kMinConfidence && std::abs(skew.Angle) >= kMinAngle &&
               std::abs(skew.Angle) <= kSkewSearchRange;
  return skew;
}

void TRotation::ToSource(double x, double y, double& sourceX, double& sourceY) const {
  const double c = std::cos(Radians(Angle)), s = std::sin(Radians(Angle));
  const double dx = x - CentreX, dy = y - CentreY;
  sourceX = CentreX + dx * c - dy * s - BorderLeft;
  sourceY = CentreY + dx * s + dy * c - BorderTop;
}

void TRotation::FromSource(double sourceX, double sourceY, double& x, double& y) const {
  const double c = std::cos(Radians(Angle)), s = std::sin(Radians(Angle));
  const double dx = sourceX + BorderLeft - CentreX, dy = sourceY + BorderTop - CentreY;
  x = CentreX + dx * c + dy * s;
  y = CentreY - dx * s + dy * c;
}

namespace {

// The rotation itself. `owner`, when given, holds `image` and is emptied as
// soon as Leptonica has its copy, and each intermediate image goes as soon as
// the next is made: at no time are more than two copies of the page held.
TDibGraphic Rotate(const TDibGraphic& image, double degrees, TRotation* rotation, TDibGraphic* owner) {
  TRotation turn;
  turn.SourceWidth = image.Width();
  turn.SourceHeight = image.Height();
  turn.CentreX = image.Width() / 2;
  turn.CentreY = image.Height() / 2;
  if (degrees == 0 || image.Empty()) {
    if (rotation != nullptr) *rotation = turn;
    if (owner == nullptr) return image;
    TDibGraphic same = std::move(*owner);
    owner->Clear();
    return same;
  }
  const double c = std::abs(std::cos(Radians(degrees))), s = std::abs(std::sin(Radians(degrees)));
  const int w = image.Width(), h = image.Height();
  const int framedWidth = static_cast<int>(std::ceil(w * c + h * s));
  const int framedHeight = static_cast<int>(std::ceil(w * s + h * c));
  turn.Angle = degrees;
  turn.BorderLeft = std::max(framedWidth - w, 0) / 2;
  turn.BorderTop = std::max(framedHeight - h, 0) / 2;
  const int borderRight = std::max(framedWidth - w, 0) - turn.BorderLeft;
  const int borderBottom = std::max(framedHeight - h, 0) - turn.BorderTop;
  if (static_cast<std::int64_t>(w + turn.BorderLeft + borderRight) * (h + turn.BorderTop + borderBottom) >
      kMaxImagePixels)
    throw EImageError("the image is too large to rotate");

  const int xDpi = image.XDpi, yDpi = image.YDpi;
  // A grey page is framed as it goes to Leptonica; others are framed there.
  TPixPtr framed = WhiteFramedGrey(image, {turn.BorderLeft, borderRight, turn.BorderTop, borderBottom});
  if (framed) {
    if (owner != nullptr) owner->Clear();
  } else {
    TPixPtr source = ToLeptonica(image);
    if (owner != nullptr) owner->Clear();
    framed.reset(pixAddBlackOrWhiteBorder(source.get(), turn.BorderLeft, borderRight, turn.BorderTop,
                                          borderBottom, L_GET_WHITE_VAL));
    if (!framed) throw std::bad_alloc();
  }
  turn.CentreX = static_cast<int>(pixGetWidth(framed.get())) / 2;
  turn.CentreY = static_cast<int>(pixGetHeight(framed.get())) / 2;
  // Leptonica turns clockwise for a positive angle.
  TPixPtr turned(pixRotate(framed.get(), static_cast<l_float32>(-Radians(degrees)), L_ROTATE_AREA_MAP,
                           L_BRING_IN_WHITE, 0, 0));
  if (!turned) throw std::bad_alloc();
  framed.reset();
  TDibGraphic result = FromLeptonica(*turned);
  result.XDpi = xDpi;
  result.YDpi = yDpi;
  if (rotation != nullptr) *rotation = turn;
  return result;
}

}  // namespace

TDibGraphic RotateImage(const TDibGraphic& image, double degrees, TRotation* rotation) {
  return Rotate(image, degrees, rotation, nullptr);
}

TDibGraphic RotateImage(TDibGraphic&& image, double degrees, TRotation* rotation) {
  return Rotate(image, degrees, rotation, &image);
}

TDeskewResult DeskewImage(TDibGraphic& image) {
  TDeskewResult result;
  result.Rotation.SourceWidth = image.Width();
  result.Rotation.SourceHeight = image.Height();
  result.Skew = FindSkew(image);
  if (result.Skew.Found) image = RotateImage(std::move(image), -result.Skew.Angle, &result.Rotation);
  return result;
}

}  // namespace omniocr
