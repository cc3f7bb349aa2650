#include "cli/page_preparation.h"

#include <algorithm>
#include <cmath>

#include "imaging/inversion.h"
#include "imaging/transforms.h"

namespace omniocr::cli {

namespace {

TZoneRect RequestedZone(const TDibGraphic& image, const TOptions& options) {
  if (!options.Zone) return {0, 0, image.Width(), image.Height()};
  const TZone& z = *options.Zone;
  return {z.X, z.Y, z.X + z.W, z.Y + z.H};
}

// Judged on the zone alone: a dark picture beside it does not count.
bool ZoneIsMostlyDark(const TDibGraphic& image, const TZoneRect& zone, bool wholeImage) {
  if (wholeImage) return IsMostlyDark(image);
  TDibGraphic part;
  TCropTransform(zone.Left, zone.Top, zone.Right, zone.Bottom).ApplyOnDest(image, part);
  return IsMostlyDark(part);
}

int Clamp(double value, int low, int high) {
  return static_cast<int>(std::clamp(value, static_cast<double>(low), static_cast<double>(high)));
}

// A pixel (x, y) of the straightened zone: the zone pixel its centre came from.
void PlacePoint(const TPreparedPage& page, int x, int y, std::int32_t& outX, std::int32_t& outY) {
  double sx = 0, sy = 0;
  page.Rotation.ToSource(x + 0.5, y + 0.5, sx, sy);
  outX = page.Zone.Left + static_cast<int>(std::floor(sx));
  outY = page.Zone.Top + static_cast<int>(std::floor(sy));
}

// The upright box around the turned-back box, inside the zone.
void PlaceBox(const TPreparedPage& page, TOCRChar& r) {
  double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
  const double xs[] = {static_cast<double>(r.Left), r.Right + 1.0};
  const double ys[] = {static_cast<double>(r.Top), r.Bottom + 1.0};
  for (const double x : xs)
    for (const double y : ys) {
      double sx = 0, sy = 0;
      page.Rotation.ToSource(x, y, sx, sy);
      minX = std::min(minX, sx), maxX = std::max(maxX, sx);
      minY = std::min(minY, sy), maxY = std::max(maxY, sy);
    }
  const TZoneRect& z = page.Zone;
  r.Left = z.Left + Clamp(std::floor(minX + 1e-6), 0, z.Width() - 1);
  r.Top = z.Top + Clamp(std::floor(minY + 1e-6), 0, z.Height() - 1);
  r.Right = z.Left + Clamp(std::ceil(maxX - 1e-6) - 1, 0, z.Width() - 1);
  r.Bottom = z.Top + Clamp(std::ceil(maxY - 1e-6) - 1, 0, z.Height() - 1);
}

// A guide row at the record's centre column, turned back.
std::int32_t PlaceGuide(const TPreparedPage& page, const TOCRChar& r, int row) {
  std::int32_t x = 0, y = 0;
  PlacePoint(page, (r.Left + r.Right) / 2, row, x, y);
  return y;
}

}  // namespace

TPreparedPage PreparePage(TDibGraphic image, const TOptions& options) {
  TPreparedPage page;
  page.Zone = RequestedZone(image, options);
  // A zone read as one character may be mostly ink: a tight box around an
  // I or a bar is no negative.
  if (options.Area != atCharacter && ZoneIsMostlyDark(image, page.Zone, !options.Zone)) {
    InvertImage(image);
    page.Inverted = true;
  }
  if (options.Zone) {
    TZoneCrop crop = CropZoneClearOfCutLines(image, page.Zone);
    page.Image = std::move(crop.Image);
    page.Zone = crop.Zone;
  } else {
    page.Image = std::move(image);
  }
  page.Rotation.SourceWidth = page.Image.Width();
  page.Rotation.SourceHeight = page.Image.Height();
  if (options.Deskew) {
    const TDeskewResult deskew = DeskewImage(page.Image);
    page.SkewSearched = true;
    page.Skew = deskew.Skew;
    page.Rotation = deskew.Rotation;
  }
  return page;
}

TOCRChar PlaceOnImage(const TOCRChar& record, const TPreparedPage& page) {
  TOCRChar r = record;
  r.Page = nullptr;
  const int dx = page.Zone.Left, dy = page.Zone.Top;
  if (page.Rotation.IsIdentity()) {
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
  } else {
    PlaceBox(page, r);
  }
  return r;
}

}  // namespace omniocr::cli
