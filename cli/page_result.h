#pragma once

// What one image gave: its records (copied out of the engine, in page
// coordinates of the whole image) and the run's figures, or why it failed.

#include <memory>
#include <string>
#include <vector>

#include "engine/ocr_types.h"
#include "imaging/dib_graphic.h"

namespace omniocr::cli {

enum class TRecordKind { Character, Space, LineBreak, Rejected, Unread };

TRecordKind KindOf(const TOCRChar& record);
const char* KindName(TRecordKind kind);

struct TPageResult {
  std::string Name;     // as given on the command line
  int PageNumber = 1;   // image number within the file
  bool Failed = false;  // the image could not be read or recognised
  std::string Message;  // the reason of a failure, or a note (blank page)
  int Width = 0;        // the image, in pixels
  int Height = 0;
  int ZoneLeft = 0;  // the recognised zone within the image
  int ZoneTop = 0;
  int ZoneWidth = 0;
  int ZoneHeight = 0;
  int Threshold = 0;
  int XDpi = 0;  // the image's resolution, 0 when it states none
  int YDpi = 0;
  bool Inverted = false;      // light text on a dark ground, read inverted
  bool SkewSearched = false;  // the page's skew was looked for
  double SkewAngle = 0;       // the skew found, degrees counter-clockwise
  bool Deskewed = false;      // the page was straightened before reading
  std::vector<TOCRChar> Records;
  std::shared_ptr<const TDibGraphic> Image;  // the whole page, kept for PDF output
};

// The text of the records: each record's reading, '~' for none.
std::string PageText(const TPageResult& page);

}  // namespace omniocr::cli
