#include "demo/image_scroll_box.h"

#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <cmath>

#include "demo/graphic_image.h"
#include "demo/mouse_handlers.h"
#include "engine/arith.h"
#include "imaging/image_io.h"

namespace omniocr::demo {

TImageScrollBox::TImageScrollBox(QWidget* parent) : QAbstractScrollArea(parent) {
  setFrameShape(QFrame::StyledPanel);
  viewport()->setBackgroundRole(QPalette::Dark);
  viewport()->setAutoFillBackground(true);
  viewport()->setMouseTracking(true);
  UpdateLayout();
}

TImageScrollBox::~TImageScrollBox() = default;

void TImageScrollBox::LoadFromFile(const QString& fileName, int imageNumber) {
  Graphic_ = TDibGraphic();
  ClearSelection();
  ClearAnnotations();
  Redraw();
  ScrollTo(0, 0);
  Graphic_ = ReadImageFile(QFile::encodeName(fileName).toStdString(), imageNumber);
  Redraw();
}

void TImageScrollBox::Redraw() {
  Display_ = DisplayImage(Graphic_);
  UpdateLayout();
}

void TImageScrollBox::SetZoomMode(TZoomMode mode) {
  ZoomMode_ = mode;
  UpdateLayout();
}

void TImageScrollBox::SetZoomPercent(float percent) {
  ZoomPercent_ = ClampZoomPercent(percent);
  UpdateLayout();
}

void TImageScrollBox::SetMouseMode(int mode) {
  if (mode != MouseMode_) ClearSelection();
  MouseMode_ = mode;
  Handler_ = CreateMouseHandler(mode, *this);
  if (Handler_)
    viewport()->setCursor(Handler_->Cursor());
  else
    viewport()->unsetCursor();
}

TImageRect TImageScrollBox::SelectedRect() const {
  if (!Selection_) return TImageRect{};
  const QRectF band = Selection_->normalized();
  const auto side = [](double value, int limit) { return std::clamp(RoundHalfEven(value), 0, limit); };
  const int width = Graphic_.Width();
  const int height = Graphic_.Height();
  return TImageRect{side(band.left(), width), side(band.top(), height), side(band.right(), width),
                    side(band.bottom(), height)};
}

void TImageScrollBox::ClearSelection() {
  Selection_.reset();
  viewport()->update();
}

void TImageScrollBox::SelectImageRect(const TImageRect& rect) {
  Selection_ = QRectF(QPointF(rect.Left, rect.Top), QPointF(rect.Right, rect.Bottom)).normalized();
  viewport()->update();
}

void TImageScrollBox::ClearAnnotations() {
  Annotations_.clear();
  viewport()->update();
}

void TImageScrollBox::SetScrollBarsVisible(bool visible) {
  const Qt::ScrollBarPolicy policy = visible ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
  setHorizontalScrollBarPolicy(policy);
  setVerticalScrollBarPolicy(policy);
  UpdateLayout();
}

void TImageScrollBox::SetViewerCursor(const QCursor& cursor) { viewport()->setCursor(cursor); }

QCursor TImageScrollBox::ViewerCursor() const { return viewport()->cursor(); }

QPoint TImageScrollBox::ImageOrigin() const {
  const QSize view = viewport()->size();
  const int x = DisplaySize_.width() < view.width() ? (view.width() - DisplaySize_.width()) / 2
                                                    : -horizontalScrollBar()->value();
  const int y = DisplaySize_.height() < view.height() ? (view.height() - DisplaySize_.height()) / 2
                                                      : -verticalScrollBar()->value();
  return QPoint(x, y);
}

QPointF TImageScrollBox::ViewportToDisplay(QPointF viewportPoint) const {
  return viewportPoint - ImageOrigin();
}

QPointF TImageScrollBox::DisplayToViewport(QPointF displayPoint) const {
  return displayPoint + ImageOrigin();
}

QPointF TImageScrollBox::DisplayToImage(QPointF displayPoint) const {
  return QPointF(demo::DisplayToImage(displayPoint.x(), Graphic_.Width(), DisplaySize_.width()),
                 demo::DisplayToImage(displayPoint.y(), Graphic_.Height(), DisplaySize_.height()));
}

QPointF TImageScrollBox::ImageToDisplay(QPointF imagePoint) const {
  if (Graphic_.Empty()) return QPointF();
  return QPointF(imagePoint.x() * DisplaySize_.width() / Graphic_.Width(),
                 imagePoint.y() * DisplaySize_.height() / Graphic_.Height());
}

QPointF TImageScrollBox::ClampToDisplay(QPointF displayPoint) const {
  return QPointF(std::clamp<double>(displayPoint.x(), 0, DisplaySize_.width()),
                 std::clamp<double>(displayPoint.y(), 0, DisplaySize_.height()));
}

QRectF TImageScrollBox::DisplayRectOf(const QRectF& imageRect) const {
  return QRectF(ImageToDisplay(imageRect.topLeft()), ImageToDisplay(imageRect.bottomRight()));
}

void TImageScrollBox::SetSelectionFromDisplay(const QRectF& displayRect) {
  if (Graphic_.Empty()) return;
  const QRectF band = displayRect.normalized();
  Selection_ = QRectF(DisplayToImage(band.topLeft()), DisplayToImage(band.bottomRight()));
  viewport()->update();
}

std::optional<QRectF> TImageScrollBox::SelectionOnDisplay() const {
  if (!Selection_) return std::nullopt;
  return DisplayRectOf(*Selection_);
}

void TImageScrollBox::AddAnnotationFromDisplay(const QRectF& displayRect) {
  const QRectF image(DisplayToImage(displayRect.topLeft()), DisplayToImage(displayRect.bottomRight()));
  const TImageRect rect{RoundHalfEven(image.left()), RoundHalfEven(image.top()), RoundHalfEven(image.right()),
                        RoundHalfEven(image.bottom())};
  if (rect.Width() > 0 && rect.Height() > 0) Annotations_.push_back(rect);
  viewport()->update();
}

void TImageScrollBox::ScrollTo(int x, int y) {
  horizontalScrollBar()->setValue(x);
  verticalScrollBar()->setValue(y);
}

QPoint TImageScrollBox::ScrollPosition() const {
  return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

// The room the fit modes fill: the viewport without scroll bars, less a bar
// that the fitted image will need in the other direction.
QSize TImageScrollBox::FitViewSize() const {
  QSize view = maximumViewportSize();
  if (Graphic_.Empty() || verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff) return view;
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  const QSize image(Graphic_.Width(), Graphic_.Height());
  if (ZoomMode_ == zmFitWidth && image.height() * view.width() > view.height() * image.width())
    view.rwidth() -= bar;
  if (ZoomMode_ == zmFitHeight && image.width() * view.height() > view.width() * image.height())
    view.rheight() -= bar;
  return view;
}

void TImageScrollBox::UpdateLayout() {
  // Keep the image point at the centre of the view where it is.
  const QPointF centre =
      DisplayToImage(ViewportToDisplay(QPointF(viewport()->width(), viewport()->height()) / 2));
  const QSize image(Graphic_.Width(), Graphic_.Height());
  Scale_ = ZoomScale(ZoomMode_, ZoomPercent_, image, FitViewSize());
  const QSize previous = DisplaySize_;
  DisplaySize_ = DisplaySize(image, Scale_);
  Reduced_ = (!Display_.isNull() && Scale_ < 1.0)
                 ? Display_.scaled(DisplaySize_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                 : QImage();
  const QSize view = viewport()->size();
  horizontalScrollBar()->setRange(0, std::max(0, DisplaySize_.width() - view.width()));
  verticalScrollBar()->setRange(0, std::max(0, DisplaySize_.height() - view.height()));
  horizontalScrollBar()->setPageStep(view.width());
  verticalScrollBar()->setPageStep(view.height());
  horizontalScrollBar()->setSingleStep(20);
  verticalScrollBar()->setSingleStep(20);
  if (previous != DisplaySize_ && !previous.isEmpty()) {
    const QPointF kept = ImageToDisplay(centre);
    ScrollTo(qRound(kept.x() - view.width() / 2.0), qRound(kept.y() - view.height() / 2.0));
  }
  viewport()->update();
}

void TImageScrollBox::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  if (Display_.isNull()) return;
  const QRect target(ImageOrigin(), DisplaySize_);
  if (!Reduced_.isNull())
    painter.drawImage(target.topLeft(), Reduced_);
  else if (Scale_ == 1.0)
    painter.drawImage(target.topLeft(), Display_);
  else
    painter.drawImage(QRectF(target), Display_, QRectF(Display_.rect()));
  PaintOverlays(painter);
}

void TImageScrollBox::PaintOverlays(QPainter& painter) const {
  painter.setBrush(QColor(255, 220, 0, 70));
  painter.setPen(QPen(QColor(200, 160, 0), 1));
  for (const TImageRect& note : Annotations_) {
    const QRectF rect = DisplayRectOf(QRectF(QPointF(note.Left, note.Top), QPointF(note.Right, note.Bottom)));
    painter.drawRect(rect.translated(ImageOrigin()));
  }
  if (Selection_) {
    const QRectF band = DisplayRectOf(*Selection_).translated(ImageOrigin());
    painter.setBrush(QColor(0, 90, 255, 40));
    painter.setPen(QPen(QColor(0, 70, 220), 1, Qt::DashLine));
    painter.drawRect(band);
  }
  if (Handler_) Handler_->Paint(painter);
}

void TImageScrollBox::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateLayout();
}

void TImageScrollBox::mousePressEvent(QMouseEvent* event) {
  const QPointF image = DisplayToImage(ViewportToDisplay(event->position()));
  const bool onImage = !Graphic_.Empty() && image.x() >= 0 && image.y() >= 0 &&
                       image.x() < Graphic_.Width() && image.y() < Graphic_.Height();
  if (onImage)
    emit ImageMouseDown(event->button(), event->modifiers(), static_cast<int>(std::floor(image.x())),
                        static_cast<int>(std::floor(image.y())));
  if (Handler_) Handler_->Press(*event);
}

void TImageScrollBox::mouseMoveEvent(QMouseEvent* event) {
  if (Handler_) Handler_->Move(*event);
}

void TImageScrollBox::mouseReleaseEvent(QMouseEvent* event) {
  if (Handler_) Handler_->Release(*event);
}

void TImageScrollBox::scrollContentsBy(int, int) { viewport()->update(); }

}  // namespace omniocr::demo
