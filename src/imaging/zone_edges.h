#pragma once

// A zone whose top or bottom edge cuts through a text line hands the engine
// the cut-off tops or bottoms of that line, which it attaches to the line
// beside them. Before cropping, such an edge is moved to the middle of the
// nearest blank band of rows inside the zone, dropping the cut piece beyond
// it. Where the piece is as tall as the zone's median component, it is a
// line that the edge only grazes, and the edge stays. Where no blank band
// lies inside the zone, the pieces that touch the edge and are under half
// the median component height are erased instead. Left and right edges are
// left alone.

#include "imaging/dib_graphic.h"

namespace omniocr {

// Columns Left..Right-1 and rows Top..Bottom-1 of an image.
struct TZoneRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
};

struct TZoneCrop {
  TDibGraphic Image;  // the zone as the engine should read it
  TZoneRect Zone;     // where Image lies in the whole image
  bool TopMoved = false;
  bool BottomMoved = false;
  int ErasedPieces = 0;
};

// The part of a zone inside the image; EImageError ("Invalid crop
// parameters") when nothing of it is.
TZoneRect ClipZoneToImage(const TDibGraphic& image, TZoneRect zone);

// The zone is clipped to the image first.
TZoneCrop CropZoneClearOfCutLines(const TDibGraphic& image, TZoneRect zone);

}  // namespace omniocr
