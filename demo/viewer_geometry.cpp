#include "demo/viewer_geometry.h"

#include <algorithm>
#include <cmath>

namespace omniocr::demo {

float ClampZoomPercent(float percent) { return std::clamp(percent, kMinZoomPercent, kMaxZoomPercent); }

float ZoomedIn(float percent) { return ClampZoomPercent(percent + kZoomStepPercent); }

float ZoomedOut(float percent) { return ClampZoomPercent(percent - kZoomStepPercent); }

double ZoomScale(TZoomMode mode, float percent, QSize image, QSize view) {
  if (image.isEmpty()) return 1.0;
  if (mode == zmPercent) return ClampZoomPercent(percent) / 100.0;
  if (mode == zmOriginalSize || view.isEmpty()) return 1.0;
  const double byWidth = static_cast<double>(view.width()) / image.width();
  const double byHeight = static_cast<double>(view.height()) / image.height();
  switch (mode) {
    case zmFitWidth: return byWidth;
    case zmFitHeight: return byHeight;
    case zmFitToPage: return std::min(byWidth, byHeight);
    case zmFullPage: return std::min(1.0, std::min(byWidth, byHeight));
    default: return 1.0;
  }
}

QSize DisplaySize(QSize image, double scale) {
  if (image.isEmpty()) return QSize(0, 0);
  const auto side = [scale](int extent) {
    return std::max(1, static_cast<int>(std::nearbyint(extent * scale)));
  };
  return QSize(side(image.width()), side(image.height()));
}

double DisplayToImage(double displayCoordinate, int imageExtent, int displayExtent) {
  if (displayExtent <= 0) return 0.0;
  return displayCoordinate * imageExtent / displayExtent;
}

}  // namespace omniocr::demo
