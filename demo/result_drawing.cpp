#include "demo/result_drawing.h"

#include "engine/char_codes.h"
#include "imaging/transforms.h"

namespace omniocr::demo {

TImageRect EnlargedBox(const TOCRChar& record) {
  return TImageRect{2 * record.Left, 2 * record.Top, 2 * record.Right + 1, 2 * record.Bottom + 1};
}

void EnlargeZone(TDibGraphic& zone) {
  TImageFormatTransform(24).Apply(zone);
  TResizeTransform(2 * zone.Width(), 2 * zone.Height()).Apply(zone);
}

QString CharacterAsText(TCharCode code) {
  if (code == NoChar || code == RejectedChar || code < 32) return QString();
  const char32_t unicode = CodeToUnicode(code);
  return QString::fromUcs4(&unicode, 1);
}

QString ResultText(const TOCRChar& record) { return QString::fromStdString(RecordText(record)); }

TOCRChar ShiftedRecord(const TOCRChar& record, int dx, int dy) {
  TOCRChar r = record;
  r.Left += dx, r.Right += dx, r.StartX += dx;
  r.Top += dy, r.Bottom += dy, r.StartY += dy;
  if (r.LineNo != 0) r.AscLine += dy, r.MeanLine += dy, r.BaseLine += dy, r.DescLine += dy;
  return r;
}

void DrawRecord(TGraphicCanvas& canvas, const TOCRChar& record) {
  const TImageRect box = EnlargedBox(record);
  canvas.Pen.Color = Qt::blue;
  canvas.Brush.Style = bsClear;
  canvas.Rectangle(box.Left, box.Top, box.Right, box.Bottom);
  canvas.Font.Color = Qt::red;
  if (!record.HasEmptyBox()) canvas.TextOut(box.Left, box.Top, CharacterAsText(record.BestChar));
}

}  // namespace omniocr::demo
