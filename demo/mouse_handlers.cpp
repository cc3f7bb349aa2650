#include "demo/mouse_handlers.h"

#include <QMouseEvent>
#include <QPainter>

#include "demo/image_scroll_box.h"

namespace omniocr::demo {

namespace {

QPointF DisplayPointOf(const TImageScrollBox& viewer, const QMouseEvent& event) {
  return viewer.ClampToDisplay(viewer.ViewportToDisplay(event.position()));
}

bool IsLeft(const QMouseEvent& event) { return event.button() == Qt::LeftButton; }

}  // namespace

void TDragMouseHandler::Press(const QMouseEvent& event) {
  if (!IsLeft(event)) return;
  Dragging_ = true;
  PressPoint_ = event.position();
  PressScroll_ = Viewer.ScrollPosition();
}

void TDragMouseHandler::Move(const QMouseEvent& event) {
  if (!Dragging_) return;
  const QPointF moved = event.position() - PressPoint_;
  Viewer.ScrollTo(PressScroll_.x() - qRound(moved.x()), PressScroll_.y() - qRound(moved.y()));
}

void TDragMouseHandler::Release(const QMouseEvent& event) {
  if (IsLeft(event)) Dragging_ = false;
}

void TQuickSelectMouseHandler::StartBand(QPointF displayPoint) {
  Selecting_ = true;
  Anchor_ = displayPoint;
  Viewer.SetSelectionFromDisplay(QRectF(Anchor_, Anchor_));
}

void TQuickSelectMouseHandler::Press(const QMouseEvent& event) {
  if (IsLeft(event)) StartBand(DisplayPointOf(Viewer, event));
}

void TQuickSelectMouseHandler::Move(const QMouseEvent& event) {
  if (!Selecting_) return;
  Viewer.SetSelectionFromDisplay(QRectF(Anchor_, DisplayPointOf(Viewer, event)).normalized());
}

void TQuickSelectMouseHandler::Release(const QMouseEvent& event) {
  if (!Selecting_ || !IsLeft(event)) return;
  Move(event);
  Selecting_ = false;
}

void TRubberbandMouseHandler::Press(const QMouseEvent& event) {
  if (!IsLeft(event)) return;
  const QPointF point = DisplayPointOf(Viewer, event);
  const std::optional<QRectF> band = Viewer.SelectionOnDisplay();
  if (band && !band->isEmpty() && band->contains(point)) {
    Moving_ = true;
    MoveStart_ = point;
    MovedBand_ = *band;
    return;
  }
  StartBand(point);
}

void TRubberbandMouseHandler::Move(const QMouseEvent& event) {
  if (!Moving_) {
    TQuickSelectMouseHandler::Move(event);
    return;
  }
  // The band moves with the mouse but stays on the image.
  const QPointF shift = DisplayPointOf(Viewer, event) - MoveStart_;
  QRectF band = MovedBand_.translated(shift);
  const QSizeF limit = Viewer.DisplayedSize();
  band.moveLeft(std::clamp(band.left(), 0.0, std::max(0.0, limit.width() - band.width())));
  band.moveTop(std::clamp(band.top(), 0.0, std::max(0.0, limit.height() - band.height())));
  Viewer.SetSelectionFromDisplay(band);
}

void TRubberbandMouseHandler::Release(const QMouseEvent& event) {
  if (!IsLeft(event)) return;
  if (Moving_) {
    Move(event);
    Moving_ = false;
    return;
  }
  TQuickSelectMouseHandler::Release(event);
}

void TAnnotationMouseHandler::Press(const QMouseEvent& event) {
  if (!IsLeft(event)) return;
  Drawing_ = true;
  Anchor_ = Current_ = DisplayPointOf(Viewer, event);
}

void TAnnotationMouseHandler::Move(const QMouseEvent& event) {
  if (!Drawing_) return;
  Current_ = DisplayPointOf(Viewer, event);
  Viewer.viewport()->update();
}

void TAnnotationMouseHandler::Release(const QMouseEvent& event) {
  if (!Drawing_ || !IsLeft(event)) return;
  Current_ = DisplayPointOf(Viewer, event);
  Drawing_ = false;
  Viewer.AddAnnotationFromDisplay(QRectF(Anchor_, Current_).normalized());
}

void TAnnotationMouseHandler::Paint(QPainter& painter) const {
  if (!Drawing_) return;
  const QRectF rect(Viewer.DisplayToViewport(Anchor_), Viewer.DisplayToViewport(Current_));
  painter.setPen(QPen(Qt::darkYellow, 1, Qt::DashLine));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(rect.normalized());
}

std::unique_ptr<TMouseHandler> CreateMouseHandler(int mode, TImageScrollBox& viewer) {
  switch (mode) {
    case mmDrag: return std::make_unique<TDragMouseHandler>(viewer);
    case mmQuickSelect: return std::make_unique<TQuickSelectMouseHandler>(viewer);
    case mmRubberband: return std::make_unique<TRubberbandMouseHandler>(viewer);
    case mmAnnotation: return std::make_unique<TAnnotationMouseHandler>(viewer);
    default: return nullptr;
  }
}

}  // namespace omniocr::demo
