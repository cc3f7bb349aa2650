// Inspection of one character: which box a click hits and the text that
// lists the candidates.

#include "demo/char_inspection.h"

#include <QTest>

#include "demo_test_support.h"

namespace omniocr::demo::test {

class TCharInspectionTest : public QObject {
  Q_OBJECT

 private slots:
  void ClickFindsTheFirstBoxContainingIt_data() {
    QTest::addColumn<QPoint>("click");
    QTest::addColumn<int>("index");
    // Boxes (10,4)-(15,12) and (14,4)-(20,12) overlap on columns 28..31 of the enlarged zone.
    QTest::newRow("top-left corner") << QPoint(20, 8) << 0;
    QTest::newRow("x = 2 Right, y = 2 Bottom") << QPoint(30, 24) << 0;
    QTest::newRow("y = 2 Bottom + 1") << QPoint(24, 25) << -1;
    QTest::newRow("overlap: the first wins") << QPoint(29, 10) << 0;
    QTest::newRow("x = 2 Right + 1 of the first") << QPoint(31, 10) << 1;
    QTest::newRow("between the boxes") << QPoint(50, 10) << -1;
    QTest::newRow("third box") << QPoint(60, 10) << 2;
    QTest::newRow("left of everything") << QPoint(19, 8) << -1;
  }

  void ClickFindsTheFirstBoxContainingIt() {
    QFETCH(QPoint, click);
    QFETCH(int, index);
    const std::vector<TOCRChar> records = {MakeRecord(10, 4, 15, 12), MakeRecord(14, 4, 20, 12),
                                           MakeRecord(28, 4, 33, 12),
                                           MakeRecord(40, 5, 39, 5, LineBreakChar)};
    QCOMPARE(FindClickedRecord(records, click.x(), click.y()), index);
  }

  void CandidateLines() {
    const TOCRChar record = MakeRecord(0, 0, 5, 5, u'e', {{u'e', 92}, {u'c', 60}});
    QCOMPARE(CandidateText(record), QStringLiteral("e (92%)\r\nc (60%)\r\n"));
  }

  void SpaceAndUnknown() {
    QCOMPARE(CandidateText(MakeRecord(0, 0, 5, 5, SpaceChar, {{SpaceChar, 100}})), QStringLiteral("space"));
    QCOMPARE(CandidateText(MakeRecord(0, 0, 5, 5)), QStringLiteral("unkonown"));
    // A space candidate replaces the lines gathered before it.
    QCOMPARE(CandidateText(MakeRecord(0, 0, 5, 5, u'i', {{u'i', 70}, {SpaceChar, 50}, {u'l', 40}})),
             QStringLiteral("spacel (40%)\r\n"));
  }

  void CandidatesShowAsUnicode() {
    QCOMPARE(CandidateText(MakeRecord(0, 0, 5, 5, 0x80, {{0x80, 81}})),
             QString(QChar(0x20AC)) + " (81%)\r\n");
  }

  void CountBeyondTheSlotsReadsOnlyTheSlots() {
    TOCRChar record = MakeRecord(0, 0, 5, 5);
    for (int i = 0; i < kMaxCandidates; ++i) {
      record.CandChar[i] = static_cast<TCharCode>(u'0' + i);
      record.CandConf[i] = static_cast<std::uint16_t>(90 - i);
    }
    record.CandCount = 1000;
    QCOMPARE(CandidateText(record).count(QStringLiteral("\r\n")), kMaxCandidates);
  }
};

OMNIOCR_DEMO_TEST(TCharInspectionTest);

}  // namespace omniocr::demo::test

#include "char_inspection_test.moc"
