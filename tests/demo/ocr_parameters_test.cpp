// How the dialog's choices become the engine's parameters and entry point.

#include "demo/ocr_parameters.h"

#include <QTest>

#include "demo_test_support.h"
#include "support/test_bitmaps.h"

namespace omniocr::demo::test {

namespace {

// The engine's parameters side by side, for comparing two engines.
auto Parameters(const TOmnifontOCR& engine) {
  return std::make_tuple(engine.NumericOnly, engine.AllowedChars, engine.SpotRemoval, engine.MaxSpotSize,
                         engine.SplitTouching, engine.SimilarityCorrection, engine.ContextCorrection,
                         engine.CutRegions);
}

}  // namespace

class TOCRParametersTest : public QObject {
  Q_OBJECT

 private slots:
  void ContentSetsAllowedCharsAndNumericOnly_data() {
    QTest::addColumn<int>("content");
    QTest::addColumn<QString>("allowed");
    QTest::addColumn<bool>("numericOnly");
    QTest::newRow("Numeric") << int(ccNumeric) << "0123456789,./" << true;
    QTest::newRow("Uppercase Letters")
        << int(ccUppercaseLetters) << "0123456789ABCDEFGHIJKLMNOPQRSTUVXYZW,./" << false;
    QTest::newRow("Lowercase Letters")
        << int(ccLowercaseLetters) << "0123456789abcdefghijklmnopqrstuvxyzw,./" << false;
    QTest::newRow("Letters") << int(ccLetters) << "ABCDEFGHIJKLMNOPQRSTUVXYZWabcdefghijklmnopqrstuvxyzw,."
                             << false;
    QTest::newRow("Alphanumeric") << int(ccAlphanumeric) << "" << false;
  }

  void ContentSetsAllowedCharsAndNumericOnly() {
    QFETCH(int, content);
    QFETCH(QString, allowed);
    QFETCH(bool, numericOnly);
    TOmnifontOCR engine;
    engine.NumericOnly = !numericOnly;
    engine.AllowedChars = u"stale";
    TOCRChoices choices;
    choices.Content = content;
    ApplyChoices(choices, engine);
    QCOMPARE(QString::fromStdU16String(engine.AllowedChars), allowed);
    QCOMPARE(engine.NumericOnly, numericOnly);
  }

  void SpotRemovalFollowsTheCheckedButton_data() {
    QTest::addColumn<bool>("none");
    QTest::addColumn<bool>("smart");
    QTest::addColumn<int>("mode");
    QTest::newRow("None") << true << false << int(srNone);
    QTest::newRow("Smart") << false << true << int(srSmart);
    QTest::newRow("Always") << false << false << int(srAlways);
  }

  void SpotRemovalFollowsTheCheckedButton() {
    QFETCH(bool, none);
    QFETCH(bool, smart);
    QFETCH(int, mode);
    TOmnifontOCR engine;
    TOCRChoices choices;
    choices.SpotRemovalNone = none;
    choices.SpotRemovalSmart = smart;
    choices.MaxSpotSize = -1;
    ApplyChoices(choices, engine);
    QCOMPARE(int(engine.SpotRemoval), mode);
    QCOMPARE(engine.MaxSpotSize, -1);
  }

  void SwitchesMapToTheEngine() {
    TOmnifontOCR engine;
    TOCRChoices choices;
    choices.MaxSpotSize = 17;
    ApplyChoices(choices, engine);
    QCOMPARE(int(engine.SplitTouching), 2);  // the program's value for "on"
    QVERIFY(engine.SimilarityCorrection);
    QVERIFY(engine.ContextCorrection);
    QCOMPARE(engine.MaxSpotSize, 17);

    choices.SplitTouching = false;
    choices.SimilarityCorrection = false;
    choices.ContextCorrection = false;
    ApplyChoices(choices, engine);
    QCOMPARE(int(engine.SplitTouching), 0);
    QVERIFY(!engine.SimilarityCorrection);
    QVERIFY(!engine.ContextCorrection);
    QVERIFY(!engine.CutRegions);  // never set by the program
  }

  void TextQualityIsNotPassed() {
    TOmnifontOCR good;
    TOmnifontOCR fax;
    TOCRChoices choices;
    ApplyChoices(choices, good);
    choices.Quality = qcFax;
    ApplyChoices(choices, fax);
    QVERIFY(Parameters(good) == Parameters(fax));
  }

  void AreaChoosesTheEntryPoint_data() {
    QTest::addColumn<int>("area");
    QTest::addColumn<int>("areaType");
    QTest::newRow("Character") << int(acCharacter) << int(atCharacter);
    QTest::newRow("Word") << int(acWord) << int(atWord);
    QTest::newRow("Text Line") << int(acTextLine) << int(atTextLine);
    QTest::newRow("Paragraph") << int(acParagraph) << int(atParagraph);
  }

  void AreaChoosesTheEntryPoint() {
    QFETCH(int, area);
    QFETCH(int, areaType);
    const auto packed = omniocr::test::MakePackedDib(
        24, 16, 8, [](int x, int y) { return (x >= 4 && x < 12 && y >= 3 && y < 13) ? 0u : 255u; });
    TOmnifontOCR engine;
    engine.AreaType = atRegions;
    try {
      RecognizeArea(engine, area, packed.get());
    } catch (const std::exception&) {
      // Only the entry point matters here, not how far the run got.
    }
    QCOMPARE(int(engine.AreaType), areaType);
    QVERIFY(omniocr::GlobalSize(packed.get()) > 0);  // the caller's block is left alone
  }
};

OMNIOCR_DEMO_TEST(TOCRParametersTest);

}  // namespace omniocr::demo::test

#include "ocr_parameters_test.moc"
