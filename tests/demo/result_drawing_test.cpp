// The enlarged result zone: the zone doubled in true colour, the boxes at
// their doubled coordinates, the readings in red, and the result text.

#include "demo/result_drawing.h"

#include <QTest>

#include "demo/graphic_canvas.h"
#include "demo_test_support.h"

namespace omniocr::demo::test {

namespace {

bool IsBlue(const QColor& color) { return color == QColor(Qt::blue); }
bool IsWhite(const QColor& color) { return color == QColor(Qt::white); }

int CountRed(const TDibGraphic& graphic, const TImageRect& area) {
  int count = 0;
  for (int y = area.Top; y < area.Bottom; ++y)
    for (int x = area.Left; x < area.Right; ++x) {
      const QColor color = PixelColor(graphic, x, y);
      if (color.red() > 150 && color.green() < 120 && color.blue() < 120) ++count;
    }
  return count;
}

}  // namespace

class TResultDrawingTest : public QObject {
  Q_OBJECT

 private slots:
  void BoxIsDoubledWithExclusiveCorner() {
    const TImageRect box = EnlargedBox(MakeRecord(10, 4, 15, 12));
    QCOMPARE(box, (TImageRect{20, 8, 31, 25}));
  }

  void BoxOutlineOnTheEnlargedZone() {
    TDibGraphic zone = FilledGraphic(40, 30, 24, 255);
    TGraphicCanvas canvas(zone);
    DrawRecord(canvas, MakeRecord(10, 4, 15, 12));
    // The outline runs along columns 20 and 30 and rows 8 and 24.
    for (const QPoint p : {QPoint(20, 8), QPoint(30, 8), QPoint(20, 24), QPoint(30, 24), QPoint(25, 8),
                           QPoint(25, 24), QPoint(20, 16), QPoint(30, 16)})
      QVERIFY2(IsBlue(PixelColor(zone, p.x(), p.y())),
               qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
    // The exclusive corner and everything outside stay untouched; so does
    // the inside (clear brush, no reading).
    for (const QPoint p : {QPoint(31, 8), QPoint(31, 24), QPoint(20, 25), QPoint(30, 25), QPoint(19, 8),
                           QPoint(20, 7), QPoint(25, 16), QPoint(21, 9)})
      QVERIFY2(IsWhite(PixelColor(zone, p.x(), p.y())),
               qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
  }

  void ReadingIsDrawnInRedAtTheBoxCorner() {
    TDibGraphic zone = FilledGraphic(60, 60, 24, 255);
    TGraphicCanvas canvas(zone);
    DrawRecord(canvas, MakeRecord(5, 5, 25, 25, u'7'));
    QVERIFY(CountRed(zone, TImageRect{11, 11, 30, 30}) > 0);
    QCOMPARE(CountRed(zone, TImageRect{0, 0, 10, 60}), 0);  // nothing left of the box
  }

  void NothingToReadDrawsOnlyTheBox_data() {
    QTest::addColumn<int>("code");
    QTest::newRow("no reading") << int(NoChar);
    QTest::newRow("no character") << int(RejectedChar);
  }

  void NothingToReadDrawsOnlyTheBox() {
    QFETCH(int, code);
    TDibGraphic zone = FilledGraphic(60, 60, 24, 255);
    TGraphicCanvas canvas(zone);
    DrawRecord(canvas, MakeRecord(5, 5, 25, 25, static_cast<TCharCode>(code)));
    QCOMPARE(CountRed(zone, TImageRect{0, 0, 60, 60}), 0);
    QVERIFY(IsBlue(PixelColor(zone, 10, 10)));
  }

  void RecordWithoutPixelsDrawsNothing() {
    // A line break's box ends left of where it starts.
    TDibGraphic zone = FilledGraphic(40, 30, 24, 255);
    const TDibGraphic before = zone;
    TGraphicCanvas canvas(zone);
    DrawRecord(canvas, MakeRecord(12, 3, 11, 9, LineBreakChar));
    for (int y = 0; y < zone.Height(); ++y)
      QVERIFY(std::equal(zone.ScanLine(y), zone.ScanLine(y) + zone.Stride(), before.ScanLine(y)));
  }

  void SolidBrushFillsTheInside() {
    TDibGraphic zone = FilledGraphic(10, 10, 24, 255);
    TGraphicCanvas canvas(zone);
    canvas.Pen.Color = Qt::blue;
    canvas.Brush.Color = Qt::green;
    canvas.Rectangle(2, 2, 7, 6);
    QVERIFY(IsBlue(PixelColor(zone, 6, 5)));
    QCOMPARE(PixelColor(zone, 3, 3), QColor(Qt::green));
    QCOMPARE(PixelColor(zone, 5, 4), QColor(Qt::green));
    QVERIFY(IsWhite(PixelColor(zone, 7, 5)));
  }

  void CanvasRefusesOtherFormats() {
    TDibGraphic grey = FilledGraphic(10, 10, 8, 255);
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, TGraphicCanvas{grey});
  }

  void ZoneIsDoubledInTrueColour_data() {
    QTest::addColumn<int>("bitCount");
    QTest::newRow("bilevel") << 1;
    QTest::newRow("grey") << 8;
    QTest::newRow("true colour") << 24;
  }

  void ZoneIsDoubledInTrueColour() {
    QFETCH(int, bitCount);
    TDibGraphic zone = FilledGraphic(7, 5, bitCount, 0);  // black in every format
    EnlargeZone(zone);
    QCOMPARE(zone.Width(), 14);
    QCOMPARE(zone.Height(), 10);
    QCOMPARE(zone.BitCount(), 24);
    QCOMPARE(PixelColor(zone, 13, 9), QColor(Qt::black));
  }

  void ResultTextOfRecords_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("no reading") << int(NoChar) << "~";
    QTest::newRow("no character") << int(RejectedChar) << "~";
    QTest::newRow("space") << int(SpaceChar) << " ";
    QTest::newRow("line break") << int(LineBreakChar) << "\n";
    QTest::newRow("digit") << int(u'4') << "4";
    QTest::newRow("sharp s") << 0xDF << QString(QChar(0xDF));
    QTest::newRow("euro at its code-page place") << 0x80 << QString(QChar(0x20AC));
  }

  void ResultTextOfRecords() {
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(ResultText(MakeRecord(0, 0, 3, 3, static_cast<TCharCode>(code))), text);
  }
};

OMNIOCR_DEMO_TEST(TResultDrawingTest);

}  // namespace omniocr::demo::test

#include "result_drawing_test.moc"
