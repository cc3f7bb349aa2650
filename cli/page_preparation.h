#pragma once

// What happens to an image before the engine reads it, and how the records
// find their way back onto the image afterwards: a negative page (or zone)
// is inverted, a skewed page (or the region around a zone) is straightened,
// and a zone's top and bottom edges are moved off the lines they cut, on
// the straightened lines.

#include <optional>

#include "cli/options.h"
#include "engine/ocr_types.h"
#include "imaging/deskew.h"
#include "imaging/dib_graphic.h"
#include "imaging/zone_edges.h"

namespace omniocr::cli {

struct TPreparedPage {
  TDibGraphic Image;  // what the engine reads
  TZoneRect Zone;     // the part of the input image it shows
  bool Inverted = false;
  bool SkewSearched = false;
  TSkew Skew;
  // A point of Image lies at (ReadLeft, ReadTop) more in the straightened
  // region, which Rotation turns back onto the region of the input image
  // that starts at (RegionLeft, RegionTop).
  int ReadLeft = 0, ReadTop = 0;
  TRotation Rotation;
  int RegionLeft = 0, RegionTop = 0;
  // The histogram the engine would count on Image, when the preparation
  // counted it already (Image is the input image as it is, or its negative).
  std::optional<THistogram> EngineHistogram;
  bool Straightened() const { return !Rotation.IsIdentity(); }
};

// `image` is the whole input image; the options say which zone, and whether
// to straighten. EImageError for a zone outside the image.
TPreparedPage PreparePage(TDibGraphic image, const TOptions& options);

// A record of the engine (in Image's coordinates) in the input image's
// coordinates. Boxes of a straightened page become the upright boxes around
// the turned-back ones, kept inside Zone.
TOCRChar PlaceOnImage(const TOCRChar& record, const TPreparedPage& page);

}  // namespace omniocr::cli
