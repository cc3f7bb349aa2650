#include "demo_test_support.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

namespace omniocr::demo::test {

namespace {

std::vector<TTestFactory>& Registry() {
  static std::vector<TTestFactory> tests;
  return tests;
}

void SendMouse(QWidget* widget, QEvent::Type type, QPointF position, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
  QMouseEvent event(type, position, widget->mapToGlobal(position), button, buttons, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &event);
}

}  // namespace

int RegisterDemoTest(TTestFactory factory) {
  Registry().push_back(std::move(factory));
  return static_cast<int>(Registry().size());
}

const std::vector<TTestFactory>& DemoTests() { return Registry(); }

TMessageRecorder::TMessageRecorder()
    : Previous_(SetMessageSink([this](QWidget*, TMessageKind kind, const QString& text) {
        Messages.push_back({kind, text});
      })) {}

TMessageRecorder::~TMessageRecorder() { SetMessageSink(Previous_); }

void MousePress(QWidget* widget, QPointF position, Qt::MouseButton button) {
  SendMouse(widget, QEvent::MouseButtonPress, position, button, button);
}

void MouseMove(QWidget* widget, QPointF position, Qt::MouseButtons buttons) {
  SendMouse(widget, QEvent::MouseMove, position, Qt::NoButton, buttons);
}

void MouseRelease(QWidget* widget, QPointF position, Qt::MouseButton button) {
  SendMouse(widget, QEvent::MouseButtonRelease, position, button, Qt::NoButton);
}

void MouseDrag(QWidget* widget, QPointF from, QPointF to) {
  MousePress(widget, from);
  MouseMove(widget, (from + to) / 2);
  MouseMove(widget, to);
  MouseRelease(widget, to);
}

TDibGraphic FilledGraphic(int width, int height, int bitCount, std::uint8_t fill) {
  TDibGraphic graphic;
  graphic.SetSize(width, height, bitCount);
  for (int y = 0; y < height; ++y) std::fill_n(graphic.ScanLine(y), graphic.Stride(), fill);
  return graphic;
}

QColor PixelColor(const TDibGraphic& graphic, int x, int y) {
  const std::uint8_t* pixel = graphic.ScanLine(y) + 3 * x;
  return QColor(pixel[2], pixel[1], pixel[0]);
}

QString WritePage(const QString& dir, const QString& name, QSize size, const std::vector<TBlock>& blocks) {
  QImage page(size, QImage::Format_Grayscale8);
  page.fill(255);
  for (const TBlock& block : blocks)
    for (int y = block.Top; y <= block.Bottom; ++y)
      for (int x = block.Left; x <= block.Right; ++x) page.scanLine(y)[x] = 0;
  const QString fileName = dir + QLatin1Char('/') + name;
  if (!page.save(fileName, "PNG")) return QString();
  return fileName;
}

TOCRChar MakeRecord(int left, int top, int right, int bottom, TCharCode best,
                    const std::vector<std::pair<TCharCode, int>>& candidates) {
  TOCRChar record;
  record.Left = left;
  record.Top = top;
  record.Right = right;
  record.Bottom = bottom;
  record.BestChar = best;
  for (const auto& [code, confidence] : candidates) {
    record.CandChar[record.CandCount] = code;
    record.CandConf[record.CandCount] = static_cast<std::uint16_t>(confidence);
    ++record.CandCount;
  }
  return record;
}

}  // namespace omniocr::demo::test
