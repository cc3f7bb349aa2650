#pragma once

// TImageScrollBox: a scrolling, zooming viewer of one TDibGraphic with
// exchangeable mouse modes (drag, quick select, rubber-band selection,
// annotation, none). The selection and the annotations are kept in image
// pixels, so they stay on the same part of the image at any zoom.

#include <QAbstractScrollArea>
#include <QImage>
#include <memory>
#include <optional>
#include <vector>

#include "demo/viewer_geometry.h"
#include "imaging/dib_graphic.h"

namespace omniocr::demo {

class TMouseHandler;

// Mouse modes of SetMouseMode.
enum TMouseMode { mmDrag = 0, mmQuickSelect = 1, mmRubberband = 2, mmAnnotation = 3, mmNone = 4 };

class TImageScrollBox : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit TImageScrollBox(QWidget* parent = nullptr);
  ~TImageScrollBox() override;

  // Reads image imageNumber (1 = the first) of a file and shows it at the
  // current zoom. Any earlier image, selection and annotation is dropped
  // first, so a failing read leaves the viewer empty; the reader's error
  // then passes to the caller.
  void LoadFromFile(const QString& fileName, int imageNumber);

  // The image shown. After changing it, call Redraw.
  TDibGraphic& Graphic() { return Graphic_; }
  const TDibGraphic& Graphic() const { return Graphic_; }
  // Shows the graphic as it is now.
  void Redraw();

  TZoomMode ZoomMode() const { return ZoomMode_; }
  void SetZoomMode(TZoomMode mode);
  float ZoomPercent() const { return ZoomPercent_; }
  // Held between kMinZoomPercent and kMaxZoomPercent.
  void SetZoomPercent(float percent);
  // Screen pixels per image pixel in the current zoom, and the image's size on screen.
  double Scale() const { return Scale_; }
  QSize DisplayedSize() const { return DisplaySize_; }

  int MouseMode() const { return MouseMode_; }
  // Installs the handler of a mouse mode (TMouseMode); any other value
  // releases the handler like mmNone. A change of mode drops the selection.
  void SetMouseMode(int mode);

  // The selection of the quick-select and rubber-band modes.
  bool HasSelection() const { return Selection_.has_value(); }
  // The selection in image pixels, each side rounded, clipped to the image.
  TImageRect SelectedRect() const;
  void ClearSelection();
  void SelectImageRect(const TImageRect& rect);

  // Rectangles drawn in annotation mode, in image pixels; shown over the image.
  const std::vector<TImageRect>& Annotations() const { return Annotations_; }
  void ClearAnnotations();

  void SetScrollBarsVisible(bool visible);
  void SetViewerCursor(const QCursor& cursor);
  QCursor ViewerCursor() const;

  // Positions in the viewport against displayed-image positions (0,0 being
  // the image's top-left corner on screen) and against image pixels.
  QPointF ViewportToDisplay(QPointF viewportPoint) const;
  QPointF DisplayToViewport(QPointF displayPoint) const;
  QPointF DisplayToImage(QPointF displayPoint) const;
  QPointF ImageToDisplay(QPointF imagePoint) const;

  // Services for the mouse handlers.
  QPointF ClampToDisplay(QPointF displayPoint) const;
  void SetSelectionFromDisplay(const QRectF& displayRect);
  std::optional<QRectF> SelectionOnDisplay() const;
  void AddAnnotationFromDisplay(const QRectF& displayRect);
  void ScrollTo(int x, int y);
  QPoint ScrollPosition() const;

 signals:
  // Any mouse button pressed over the image; x and y in image pixels.
  void ImageMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  void UpdateLayout();
  QSize FitViewSize() const;
  QPoint ImageOrigin() const;
  QRectF DisplayRectOf(const QRectF& imageRect) const;
  void PaintOverlays(QPainter& painter) const;

  TDibGraphic Graphic_;
  QImage Display_;  // the graphic as 32-bit RGB
  QImage Reduced_;  // smoothly reduced copy when the zoom is below 100 %
  TZoomMode ZoomMode_ = zmPercent;
  float ZoomPercent_ = 100.0f;
  double Scale_ = 1.0;
  QSize DisplaySize_;
  int MouseMode_ = mmNone;
  std::unique_ptr<TMouseHandler> Handler_;
  std::optional<QRectF> Selection_;  // image pixels, unrounded
  std::vector<TImageRect> Annotations_;
};

}  // namespace omniocr::demo
