// The bridges between TDibGraphic and QImage: what the viewer puts on the
// screen for every pixel format, and the canvas view that shares pixels.

#include "demo/graphic_image.h"

#include <QPainter>
#include <QTest>

#include "demo_test_support.h"

namespace omniocr::demo::test {

class TGraphicImageTest : public QObject {
  Q_OBJECT

 private slots:
  void DisplayShowsEveryFormat_data() {
    QTest::addColumn<int>("bitCount");
    QTest::addColumn<int>("fill");
    QTest::addColumn<QColor>("shown");
    QTest::newRow("bilevel black") << 1 << 0x00 << QColor(Qt::black);
    QTest::newRow("bilevel white") << 1 << 0xFF << QColor(Qt::white);
    QTest::newRow("16 greys, lightest") << 4 << 0xFF << QColor(Qt::white);
    QTest::newRow("grey ramp") << 8 << 0x80 << QColor(0x80, 0x80, 0x80);
    QTest::newRow("true colour") << 24 << 0x40 << QColor(0x40, 0x40, 0x40);
  }

  void DisplayShowsEveryFormat() {
    QFETCH(int, bitCount);
    QFETCH(int, fill);
    QFETCH(QColor, shown);
    const TDibGraphic graphic = FilledGraphic(13, 3, bitCount, static_cast<std::uint8_t>(fill));
    const QImage image = DisplayImage(graphic);
    QCOMPARE(image.size(), QSize(13, 3));
    QCOMPARE(image.pixelColor(0, 0), shown);
    QCOMPARE(image.pixelColor(12, 2), shown);
  }

  void TrueColourKeepsItsChannels() {
    TDibGraphic graphic = FilledGraphic(2, 1, 24, 0);
    graphic.ScanLine(0)[0] = 0x10;  // blue
    graphic.ScanLine(0)[1] = 0x20;  // green
    graphic.ScanLine(0)[2] = 0x30;  // red
    QCOMPARE(DisplayImage(graphic).pixelColor(0, 0), QColor(0x30, 0x20, 0x10));
  }

  void EmptyGraphicShowsNothing() { QVERIFY(DisplayImage(TDibGraphic()).isNull()); }

  void CanvasViewPaintsOnTheGraphic() {
    TDibGraphic graphic = FilledGraphic(5, 4, 24, 255);
    QImage view = TrueColorView(graphic);
    QPainter(&view).fillRect(1, 2, 1, 1, Qt::red);
    QCOMPARE(PixelColor(graphic, 1, 2), QColor(Qt::red));
    QCOMPARE(PixelColor(graphic, 2, 2), QColor(Qt::white));
  }
};

OMNIOCR_DEMO_TEST(TGraphicImageTest);

}  // namespace omniocr::demo::test

#include "graphic_image_test.moc"
