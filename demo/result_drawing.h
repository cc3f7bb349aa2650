#pragma once

// The enlarged result zone: the cropped zone in true colour at twice its
// size, with every record's box in blue and its reading in red.

#include <QString>

#include "demo/graphic_canvas.h"
#include "demo/viewer_geometry.h"
#include "engine/ocr_types.h"
#include "imaging/dib_graphic.h"

namespace omniocr::demo {

// A record's box on the enlarged zone: (2 Left, 2 Top) to the exclusive
// corner (2 Right + 1, 2 Bottom + 1). A record without pixels (a line break)
// gets a box that contains no point.
TImageRect EnlargedBox(const TOCRChar& record);

// Converts the zone to true colour and doubles it in both directions.
void EnlargeZone(TDibGraphic& zone);

// A character code as a one-character string; empty for NoChar,
// RejectedChar and control codes, which have nothing to show.
QString CharacterAsText(TCharCode code);

// The text a record adds to the result window: "~" when it has no reading
// or is no character, a new line for a line break, else its character.
QString ResultText(const TOCRChar& record);

// A copy of a record moved by (dx, dy): box, start point and guide lines.
TOCRChar ShiftedRecord(const TOCRChar& record, int dx, int dy);

// Draws a record's box (blue) and reading (red) on the enlarged zone.
void DrawRecord(TGraphicCanvas& canvas, const TOCRChar& record);

}  // namespace omniocr::demo
