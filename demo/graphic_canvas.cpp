#include "demo/graphic_canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include "demo/graphic_image.h"

namespace omniocr::demo {

TGraphicCanvas::TGraphicCanvas(TDibGraphic& graphic) : Pixels_(TrueColorView(graphic)) {}

void TGraphicCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  if (x2 <= x1 || y2 <= y1) return;
  QPainter painter(&Pixels_);
  const int width = x2 - x1;
  const int height = y2 - y1;
  // Filled spans instead of a stroked rectangle: a stroked outline would
  // reach one pixel past the exclusive corner.
  if (Brush.Style == bsSolid && width > 2 && height > 2)
    painter.fillRect(x1 + 1, y1 + 1, width - 2, height - 2, Brush.Color);
  painter.fillRect(x1, y1, width, 1, Pen.Color);
  painter.fillRect(x1, y2 - 1, width, 1, Pen.Color);
  painter.fillRect(x1, y1, 1, height, Pen.Color);
  painter.fillRect(x2 - 1, y1, 1, height, Pen.Color);
}

void TGraphicCanvas::TextOut(int x, int y, const QString& text) {
  if (text.isEmpty()) return;
  QPainter painter(&Pixels_);
  QFont font = painter.font();
  font.setPixelSize(Font.PixelSize);
  painter.setFont(font);
  const QFontMetrics metrics(font);
  const QRect area(x, y, metrics.horizontalAdvance(text), metrics.height());
  if (Brush.Style == bsSolid) painter.fillRect(area, Brush.Color);
  painter.setPen(Font.Color);
  painter.drawText(QPoint(x, y + metrics.ascent()), text);
}

}  // namespace omniocr::demo
