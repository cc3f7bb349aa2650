#pragma once

// What happens to an image before the engine reads it, and how the records
// find their way back onto the image afterwards: a negative page (or zone)
// is inverted, a zone's edges are moved off the lines they cut, and the
// page is straightened when its lines are skewed.

#include <vector>

#include "cli/options.h"
#include "engine/ocr_types.h"
#include "imaging/deskew.h"
#include "imaging/dib_graphic.h"
#include "imaging/zone_edges.h"

namespace omniocr::cli {

struct TPreparedPage {
  TDibGraphic Image;  // what the engine reads
  TZoneRect Zone;     // the part of the input image it was made from
  bool Inverted = false;
  bool SkewSearched = false;
  TSkew Skew;
  TRotation Rotation;  // from the zone to Image; identity when not straightened
};

// `image` is the whole input image; the options say which zone and whether
// to straighten.
TPreparedPage PreparePage(TDibGraphic image, const TOptions& options);

// A record of the engine (in Image's coordinates) in the input image's
// coordinates. Boxes of a straightened page become the upright boxes around
// the turned-back ones, kept inside the zone.
TOCRChar PlaceOnImage(const TOCRChar& record, const TPreparedPage& page);

}  // namespace omniocr::cli
