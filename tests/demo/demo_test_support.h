#pragma once

// Shared pieces of the desktop program's tests: the registry of Qt Test
// classes (one executable runs them all), a recorder that takes the message
// boxes, mouse events sent straight to a widget, and small fixtures.

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "demo/message_box.h"
#include "engine/ocr_types.h"
#include "imaging/dib_graphic.h"

namespace omniocr::demo::test {

using TTestFactory = std::function<std::unique_ptr<QObject>()>;
int RegisterDemoTest(TTestFactory factory);
const std::vector<TTestFactory>& DemoTests();

#define OMNIOCR_DEMO_TEST(TestClass)         \
  static const int TestClass##Registration = \
      ::omniocr::demo::test::RegisterDemoTest([] { return std::make_unique<TestClass>(); })

// Takes every message box while it lives.
class TMessageRecorder {
 public:
  struct TMessage {
    TMessageKind Kind;
    QString Text;
  };
  TMessageRecorder();
  ~TMessageRecorder();
  TMessageRecorder(const TMessageRecorder&) = delete;
  TMessageRecorder& operator=(const TMessageRecorder&) = delete;

  std::vector<TMessage> Messages;

 private:
  TMessageSink Previous_;
};

// Mouse events sent to a widget at positions in its own pixels.
void MousePress(QWidget* widget, QPointF position, Qt::MouseButton button = Qt::LeftButton);
void MouseMove(QWidget* widget, QPointF position, Qt::MouseButtons buttons = Qt::LeftButton);
void MouseRelease(QWidget* widget, QPointF position, Qt::MouseButton button = Qt::LeftButton);
void MouseDrag(QWidget* widget, QPointF from, QPointF to);

// A graphic of the given bit count, every pixel byte set to fill.
TDibGraphic FilledGraphic(int width, int height, int bitCount, std::uint8_t fill);

// The colour of a 24-bit graphic's pixel.
QColor PixelColor(const TDibGraphic& graphic, int x, int y);

// A white grey-level page with black rectangles (inclusive corners), saved
// as a PNG file in dir; returns the file name.
struct TBlock {
  int Left, Top, Right, Bottom;
};
QString WritePage(const QString& dir, const QString& name, QSize size, const std::vector<TBlock>& blocks);

// A record with a box and candidates (character, confidence), best first.
TOCRChar MakeRecord(int left, int top, int right, int bottom, TCharCode best = NoChar,
                    const std::vector<std::pair<TCharCode, int>>& candidates = {});

}  // namespace omniocr::demo::test
