#include "cli/page_preparation.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <optional>

#include "imaging/ink_mask.h"
#include "imaging/inversion.h"
#include "imaging/transforms.h"

namespace omniocr::cli {

namespace {

int ClampToInt(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

// The zone asked for, inside the image.
TZoneRect RequestedZone(const TDibGraphic& image, const TOptions& options) {
  if (!options.Zone) return {0, 0, image.Width(), image.Height()};
  const TZone& z = *options.Zone;
  return ClipZoneToImage(
      image, {z.X, z.Y, ClampToInt(std::int64_t{z.X} + z.W), ClampToInt(std::int64_t{z.Y} + z.H)});
}

TDibGraphic Crop(const TDibGraphic& image, const TZoneRect& zone) {
  TDibGraphic part;
  TCropTransform(zone.Left, zone.Top, zone.Right, zone.Bottom).ApplyOnDest(image, part);
  return part;
}

// Around a zone, the region whose straightened image holds the zone's
// straightened rectangle with a row to spare above and below.
TZoneRect RegionToTurn(const TDibGraphic& image, const TZoneRect& zone, double degrees) {
  const double s = std::abs(std::sin(degrees * M_PI / 180));
  const int dx = static_cast<int>(std::ceil(zone.Height() * s)) + 2;
  const int dy = static_cast<int>(std::ceil(zone.Width() * s)) + 2;
  return ClipZoneToImage(image, {zone.Left - dx, zone.Top - dy, zone.Right + dx, zone.Bottom + dy});
}

// The zone's rectangle in the straightened region: the same size, about the
// same centre.
TZoneRect ZoneWhenStraight(const TZoneRect& zone, const TZoneRect& region, const TRotation& rotation) {
  double x = 0, y = 0;
  rotation.FromSource((zone.Left + zone.Right) / 2.0 - region.Left,
                      (zone.Top + zone.Bottom) / 2.0 - region.Top, x, y);
  const int left = static_cast<int>(std::lround(x - zone.Width() / 2.0));
  const int top = static_cast<int>(std::lround(y - zone.Height() / 2.0));
  return {left, top, left + zone.Width(), top + zone.Height()};
}

// The input image's point of a point (x, y) of the straightened region.
void TurnBack(const TPreparedPage& page, double x, double y, double& outX, double& outY) {
  page.Rotation.ToSource(x, y, outX, outY);
  outX += page.RegionLeft;
  outY += page.RegionTop;
}

// The upright box around a rectangle of the straightened region turned
// back, with exclusive right and bottom, clipped to `within`.
TZoneRect TurnBackBox(const TPreparedPage& page, double left, double top, double right, double bottom,
                      const TZoneRect& within) {
  double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
  for (const double x : {left, right})
    for (const double y : {top, bottom}) {
      double sx = 0, sy = 0;
      TurnBack(page, x, y, sx, sy);
      minX = std::min(minX, sx), maxX = std::max(maxX, sx);
      minY = std::min(minY, sy), maxY = std::max(maxY, sy);
    }
  auto clamp = [](double v, int low, int high) {
    return static_cast<int>(std::clamp(v, static_cast<double>(low), static_cast<double>(high)));
  };
  return {clamp(std::floor(minX + 1e-6), within.Left, within.Right - 1),
          clamp(std::floor(minY + 1e-6), within.Top, within.Bottom - 1),
          clamp(std::ceil(maxX - 1e-6), within.Left + 1, within.Right),
          clamp(std::ceil(maxY - 1e-6), within.Top + 1, within.Bottom)};
}

// The pixel of the input image that pixel (x, y) of Image came from.
void PlacePoint(const TPreparedPage& page, int x, int y, std::int32_t& outX, std::int32_t& outY) {
  double sx = 0, sy = 0;
  TurnBack(page, page.ReadLeft + x + 0.5, page.ReadTop + y + 0.5, sx, sy);
  outX = static_cast<int>(std::floor(sx));
  outY = static_cast<int>(std::floor(sy));
}

// A guide row at the record's centre column.
std::int32_t PlaceGuide(const TPreparedPage& page, const TOCRChar& r, int row) {
  std::int32_t x = 0, y = 0;
  PlacePoint(page, (r.Left + r.Right) / 2, row, x, y);
  return y;
}

// The engine reads `zone` of `image` (the input image or the straightened
// region) with its cut edges mended.
void ReadZoneOf(const TDibGraphic& image, const TZoneRect& zone, TPreparedPage& page) {
  TZoneCrop crop = CropZoneClearOfCutLines(image, zone);
  page.Image = std::move(crop.Image);
  page.ReadLeft = crop.Zone.Left;
  page.ReadTop = crop.Zone.Top;
}

}  // namespace

TPreparedPage PreparePage(TDibGraphic image, const TOptions& options) {
  TPreparedPage page;
  const TZoneRect zone = RequestedZone(image, options);
  const bool wholeImage = !options.Zone;
  TDibGraphic zoneImage = wholeImage ? TDibGraphic() : Crop(image, zone);
  const TDibGraphic& content = wholeImage ? image : zoneImage;

  // The grey histogram is counted once for both questions below, and again
  // only after an inversion.
  std::optional<THistogram> grey;
  auto greyHistogram = [&]() -> const THistogram& {
    if (!grey) grey = GreyHistogram(content);
    return *grey;
  };
  // A zone read as one character may be mostly ink: a tight box around an
  // I or a bar is no negative.
  if (options.Area != atCharacter && !content.Empty() && IsMostlyDark(greyHistogram())) {
    InvertImage(image);
    if (!wholeImage) InvertImage(zoneImage);
    grey.reset();
    page.Inverted = true;
  }
  if (options.Deskew) {
    page.SkewSearched = true;
    page.Skew = FindSkew(content, greyHistogram());
  }

  if (!page.Skew.Found) {
    if (wholeImage) {
      // The engine reads the very pixels counted above.
      if (grey) page.EngineHistogram = PackedDibHistogram(image, *grey);
      page.Image = std::move(image);
    } else {
      ReadZoneOf(image, zone, page);
    }
  } else {
    // The zone's edges are mended on the straightened lines, where a blank
    // band between two lines runs level.
    const TZoneRect region = wholeImage ? zone : RegionToTurn(image, zone, page.Skew.Angle);
    // A whole page goes to the rotation as it is, not copied first, and is
    // given up to it: its pixels are not needed afterwards.
    TDibGraphic turned = wholeImage ? RotateImage(std::move(image), -page.Skew.Angle, &page.Rotation)
                                    : RotateImage(Crop(image, region), -page.Skew.Angle, &page.Rotation);
    page.RegionLeft = region.Left;
    page.RegionTop = region.Top;
    if (wholeImage) {
      page.Image = std::move(turned);
    } else {
      ReadZoneOf(turned, ZoneWhenStraight(zone, region, page.Rotation), page);
    }
  }
  page.Zone = page.Straightened()
                  ? TurnBackBox(page, page.ReadLeft, page.ReadTop, page.ReadLeft + page.Image.Width(),
                                page.ReadTop + page.Image.Height(), zone)
                  : TZoneRect{page.ReadLeft, page.ReadTop, page.ReadLeft + page.Image.Width(),
                              page.ReadTop + page.Image.Height()};
  return page;
}

TOCRChar PlaceOnImage(const TOCRChar& record, const TPreparedPage& page) {
  TOCRChar r = record;
  r.Page = nullptr;
  if (!page.Straightened()) {
    const int dx = page.ReadLeft, dy = page.ReadTop;
    r.Left += dx, r.Right += dx, r.StartX += dx;
    r.Top += dy, r.Bottom += dy, r.StartY += dy;
    if (r.LineNo != 0) r.AscLine += dy, r.MeanLine += dy, r.BaseLine += dy, r.DescLine += dy;
    return r;
  }
  if (r.LineNo != 0) {
    r.AscLine = PlaceGuide(page, record, record.AscLine);
    r.MeanLine = PlaceGuide(page, record, record.MeanLine);
    r.BaseLine = PlaceGuide(page, record, record.BaseLine);
    r.DescLine = PlaceGuide(page, record, record.DescLine);
  }
  PlacePoint(page, record.StartX, record.StartY, r.StartX, r.StartY);
  if (record.HasEmptyBox()) {
    // Line breaks: their two corners are places, not a box.
    PlacePoint(page, record.Left, record.Top, r.Left, r.Top);
    PlacePoint(page, record.Right, record.Bottom, r.Right, r.Bottom);
    if (record.Right < record.Left) r.Right = std::min(r.Right, r.Left - 1);
    if (record.Bottom < record.Top) r.Bottom = std::min(r.Bottom, r.Top - 1);
    return r;
  }
  const TZoneRect box =
      TurnBackBox(page, page.ReadLeft + record.Left, page.ReadTop + record.Top,
                  page.ReadLeft + record.Right + 1.0, page.ReadTop + record.Bottom + 1.0, page.Zone);
  r.Left = box.Left, r.Top = box.Top, r.Right = box.Right - 1, r.Bottom = box.Bottom - 1;
  return r;
}

}  // namespace omniocr::cli
