#include "demo/graphic_image.h"

#include "imaging/image_error.h"
#include "imaging/transforms.h"

namespace omniocr::demo {

namespace {

// A read-only QImage over a 24-bit graphic's pixels (Qt copies on any write).
QImage ReadOnlyView(const TDibGraphic& graphic) {
  return QImage(graphic.ScanLine(0), graphic.Width(), graphic.Height(),
                static_cast<qsizetype>(graphic.Stride()), QImage::Format_BGR888);
}

}  // namespace

QImage TrueColorView(TDibGraphic& graphic) {
  if (graphic.BitCount() != 24 || graphic.Empty()) throw EImageError("the canvas needs a true-colour image");
  return QImage(graphic.ScanLine(0), graphic.Width(), graphic.Height(),
                static_cast<qsizetype>(graphic.Stride()), QImage::Format_BGR888);
}

QImage DisplayImage(const TDibGraphic& graphic) {
  if (graphic.Empty()) return QImage();
  if (graphic.BitCount() == 24) return ReadOnlyView(graphic).convertToFormat(QImage::Format_RGB32);
  TDibGraphic trueColor = graphic;
  TImageFormatTransform(24).Apply(trueColor);
  return ReadOnlyView(trueColor).convertToFormat(QImage::Format_RGB32);
}

}  // namespace omniocr::demo
