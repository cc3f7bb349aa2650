#pragma once

// The arithmetic of the image viewer, free of any widget: how large the
// image is shown in each zoom mode, the zoom steps, and the mapping between
// displayed pixels and image pixels.

#include <QSize>

namespace omniocr::demo {

// Zoom modes of the viewer, in this order.
enum TZoomMode {
  zmOriginalSize,  // one image pixel on one screen pixel
  zmFullPage,      // the whole page in view, never enlarged beyond its size
  zmFitWidth,      // the image width fills the view
  zmFitHeight,     // the image height fills the view
  zmPercent,       // ZoomPercent of the original size
  zmFitToPage,     // the whole page fills the view, enlarged or reduced
};

// The zoom commands add or subtract this many percentage points.
constexpr float kZoomStepPercent = 5.0f;
// ZoomPercent is held within these limits, so that a run of Zoom Out
// commands cannot shrink the image to nothing.
constexpr float kMinZoomPercent = 5.0f;
constexpr float kMaxZoomPercent = 3200.0f;

float ClampZoomPercent(float percent);
float ZoomedIn(float percent);
float ZoomedOut(float percent);

// Display pixels per image pixel for a zoom mode; 1 for an empty image or view.
double ZoomScale(TZoomMode mode, float percent, QSize image, QSize view);

// The image's size on screen at a scale: each side rounded, at least 1 pixel
// for a non-empty image.
QSize DisplaySize(QSize image, double scale);

// A rectangle in image pixels: columns Left..Right-1, rows Top..Bottom-1.
struct TImageRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
  friend bool operator==(const TImageRect&, const TImageRect&) = default;
};

// A displayed coordinate converted to image pixels by the ratio of the image
// size to the displayed size (unrounded).
double DisplayToImage(double displayCoordinate, int imageExtent, int displayExtent);

}  // namespace omniocr::demo
