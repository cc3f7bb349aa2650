#pragma once

// TGraphicCanvas: drawing on a true-colour TDibGraphic with a pen, a brush
// and a font, in the graphic's own pixel coordinates. Rectangles take their
// second corner as exclusive, so Rectangle(20, 8, 31, 25) touches columns
// 20..30 and rows 8..24.

#include <QColor>
#include <QImage>
#include <QString>

#include "imaging/dib_graphic.h"

namespace omniocr::demo {

enum TBrushStyle { bsSolid, bsClear };

struct TCanvasPen {
  QColor Color = Qt::black;
};

struct TCanvasBrush {
  QColor Color = Qt::white;
  TBrushStyle Style = bsSolid;
};

struct TCanvasFont {
  QColor Color = Qt::black;
  int PixelSize = 11;
};

class TGraphicCanvas {
 public:
  // The graphic must be 24-bit and must keep its size while the canvas lives.
  explicit TGraphicCanvas(TDibGraphic& graphic);

  TCanvasPen Pen;
  TCanvasBrush Brush;
  TCanvasFont Font;

  // A one-pixel outline in the pen colour along the edges of columns
  // x1..x2-1 and rows y1..y2-1, filled inside with a solid brush. Nothing
  // is drawn when x2 <= x1 or y2 <= y1.
  void Rectangle(int x1, int y1, int x2, int y2);

  // Text with the top-left corner of its line at (x, y), in the font colour;
  // a solid brush paints the text's background.
  void TextOut(int x, int y, const QString& text);

 private:
  QImage Pixels_;  // shares the graphic's memory
};

}  // namespace omniocr::demo
