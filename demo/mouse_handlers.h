#pragma once

// The mouse handlers of TImageScrollBox, one per mouse mode. A handler gets
// the viewer's mouse events (positions in viewport pixels) and may paint an
// overlay of its own.

#include <QCursor>
#include <QPointF>
#include <QRectF>
#include <memory>

class QMouseEvent;
class QPainter;

namespace omniocr::demo {

class TImageScrollBox;

class TMouseHandler {
 public:
  explicit TMouseHandler(TImageScrollBox& viewer) : Viewer(viewer) {}
  virtual ~TMouseHandler() = default;
  TMouseHandler(const TMouseHandler&) = delete;
  TMouseHandler& operator=(const TMouseHandler&) = delete;

  virtual Qt::CursorShape Cursor() const = 0;
  virtual void Press(const QMouseEvent& event) = 0;
  virtual void Move(const QMouseEvent& event) = 0;
  virtual void Release(const QMouseEvent& event) = 0;
  virtual void Paint(QPainter&) const {}

 protected:
  TImageScrollBox& Viewer;
};

// Mode 0: dragging moves the image in the view.
class TDragMouseHandler : public TMouseHandler {
 public:
  using TMouseHandler::TMouseHandler;
  Qt::CursorShape Cursor() const override { return Qt::OpenHandCursor; }
  void Press(const QMouseEvent& event) override;
  void Move(const QMouseEvent& event) override;
  void Release(const QMouseEvent& event) override;

 private:
  bool Dragging_ = false;
  QPointF PressPoint_;
  QPoint PressScroll_;
};

// Mode 1: every drag draws a new selection.
class TQuickSelectMouseHandler : public TMouseHandler {
 public:
  using TMouseHandler::TMouseHandler;
  Qt::CursorShape Cursor() const override { return Qt::CrossCursor; }
  void Press(const QMouseEvent& event) override;
  void Move(const QMouseEvent& event) override;
  void Release(const QMouseEvent& event) override;

 protected:
  void StartBand(QPointF displayPoint);
  bool Selecting_ = false;
  QPointF Anchor_;  // display coordinates
};

// Mode 2: a drag draws a new selection; a drag that starts inside the
// selection moves it instead. A click without a drag leaves an empty
// selection (which the crop of the OCR command refuses).
class TRubberbandMouseHandler : public TQuickSelectMouseHandler {
 public:
  using TQuickSelectMouseHandler::TQuickSelectMouseHandler;
  void Press(const QMouseEvent& event) override;
  void Move(const QMouseEvent& event) override;
  void Release(const QMouseEvent& event) override;

 private:
  bool Moving_ = false;
  QPointF MoveStart_;
  QRectF MovedBand_;
};

// Mode 3: a drag adds a rectangle to the viewer's annotation layer.
class TAnnotationMouseHandler : public TMouseHandler {
 public:
  using TMouseHandler::TMouseHandler;
  Qt::CursorShape Cursor() const override { return Qt::CrossCursor; }
  void Press(const QMouseEvent& event) override;
  void Move(const QMouseEvent& event) override;
  void Release(const QMouseEvent& event) override;
  void Paint(QPainter& painter) const override;

 private:
  bool Drawing_ = false;
  QPointF Anchor_;
  QPointF Current_;
};

// The handler of a mouse mode; none for mode 4 and unknown modes.
std::unique_ptr<TMouseHandler> CreateMouseHandler(int mode, TImageScrollBox& viewer);

}  // namespace omniocr::demo
