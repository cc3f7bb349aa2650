#include "demo/toolbar_icons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace omniocr::demo {

namespace {

constexpr int kIconSize = 24;
const QColor kInk(40, 40, 40);
const QColor kPaper(250, 250, 245);
const QColor kAccent(30, 90, 200);

QIcon Drawn(const std::function<void(QPainter&)>& draw) {
  QPixmap pixmap(kIconSize, kIconSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  draw(painter);
  return QIcon(pixmap);
}

void Page(QPainter& painter, const QRectF& rect) {
  painter.setPen(QPen(kInk, 1.2));
  painter.setBrush(kPaper);
  painter.drawRect(rect);
}

void Magnifier(QPainter& painter, bool plus) {
  painter.setPen(QPen(kInk, 2.2));
  painter.setBrush(kPaper);
  painter.drawEllipse(QRectF(3, 3, 13, 13));
  painter.drawLine(QPointF(14.5, 14.5), QPointF(21, 21));
  painter.setPen(QPen(kAccent, 2));
  painter.drawLine(QPointF(6, 9.5), QPointF(13, 9.5));
  if (plus) painter.drawLine(QPointF(9.5, 6), QPointF(9.5, 13));
}

void Arrow(QPainter& painter, QPointF from, QPointF to) {
  painter.setPen(QPen(kAccent, 1.8));
  painter.drawLine(from, to);
  const QPointF along = (to - from) / std::max(1.0, QLineF(from, to).length()) * 3.5;
  const QPointF across(-along.y(), along.x());
  painter.setBrush(kAccent);
  painter.drawPolygon(QPolygonF({to + along, to + across, to - across}));
}

}  // namespace

QIcon OpenIcon() {
  return Drawn([](QPainter& painter) {
    painter.setPen(QPen(kInk, 1.2));
    painter.setBrush(QColor(235, 190, 80));
    QPainterPath folder;
    folder.moveTo(2, 6);
    folder.lineTo(9, 6);
    folder.lineTo(11, 8);
    folder.lineTo(21, 8);
    folder.lineTo(21, 19);
    folder.lineTo(2, 19);
    folder.closeSubpath();
    painter.drawPath(folder);
    painter.setBrush(QColor(250, 215, 120));
    painter.drawPolygon(QPolygonF({QPointF(5, 11), QPointF(23, 11), QPointF(20, 19), QPointF(2, 19)}));
  });
}

QIcon OcrIcon() {
  return Drawn([](QPainter& painter) {
    Page(painter, QRectF(3, 2, 18, 20));
    QFont font = painter.font();
    font.setPixelSize(13);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(kInk);
    painter.drawText(QRectF(3, 2, 18, 20), Qt::AlignCenter, QStringLiteral("A"));
    painter.setPen(QPen(kAccent, 1.2, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(6, 5, 12, 14));
  });
}

QIcon ZoomInIcon() {
  return Drawn([](QPainter& painter) { Magnifier(painter, true); });
}

QIcon ZoomOutIcon() {
  return Drawn([](QPainter& painter) { Magnifier(painter, false); });
}

QIcon FitWidthIcon() {
  return Drawn([](QPainter& painter) {
    Page(painter, QRectF(1.5, 5.5, 21, 13));
    Arrow(painter, QPointF(12, 12), QPointF(4, 12));
    Arrow(painter, QPointF(12, 12), QPointF(20, 12));
  });
}

QIcon FitHeightIcon() {
  return Drawn([](QPainter& painter) {
    Page(painter, QRectF(5.5, 1.5, 13, 21));
    Arrow(painter, QPointF(12, 12), QPointF(12, 4));
    Arrow(painter, QPointF(12, 12), QPointF(12, 20));
  });
}

QIcon FitPageIcon() {
  return Drawn([](QPainter& painter) {
    painter.setPen(QPen(kAccent, 1.5, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(1.5, 1.5, 21, 21));
    Page(painter, QRectF(6.5, 4.5, 11, 15));
  });
}

}  // namespace omniocr::demo
