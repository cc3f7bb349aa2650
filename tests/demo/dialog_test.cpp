// The parameters dialog: its texts, defaults and ranges, and the choices it reports.

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "demo/radio_group.h"
#include "demo/unit_parametri_ocr.h"
#include "demo_test_support.h"

namespace omniocr::demo::test {

class TOCRDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void CaptionAndSize() {
    TOCRDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Omnifont OCR"));
    QCOMPARE(dialog.size(), QSize(464, 280));
    QVERIFY(dialog.isModal());
  }

  void GroupItemsAndDefaults_data() {
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<int>("defaultIndex");
    QTest::newRow("area") << "area"
                          << "Area Type" << QStringList{"Character", "Word", "Text Line", "Paragraph"} << 3;
    QTest::newRow("content") << "content"
                             << "Content"
                             << QStringList{"Numeric", "Uppercase Letters", "Lowercase Letters", "Letters",
                                            "Alphanumeric"}
                             << 4;
    QTest::newRow("quality") << "quality"
                             << "Text Quality" << QStringList{"Good", "Dot Matrix", "Fax"} << 0;
  }

  void GroupItemsAndDefaults() {
    QFETCH(QString, group);
    QFETCH(QString, caption);
    QFETCH(QStringList, items);
    QFETCH(int, defaultIndex);
    TOCRDialog dialog;
    const TRadioGroup* radio = group == "area"      ? dialog.RadioGroupArea
                               : group == "content" ? dialog.RadioGroupContent
                                                    : dialog.RadioGroupQuality;
    QCOMPARE(radio->title(), caption);
    QCOMPARE(radio->Items(), items);
    for (int i = 0; i < items.size(); ++i) QCOMPARE(radio->Button(i)->text(), items[i]);
    QCOMPARE(radio->ItemIndex(), defaultIndex);
  }

  void CheckBoxesAndSpotRemovalDefaults() {
    TOCRDialog dialog;
    QCOMPARE(dialog.CheckBoxSplit->text(), QStringLiteral("Split Touching Chars"));
    QCOMPARE(dialog.CheckBoxCompare->text(), QStringLiteral("Symilarity Correction"));
    QCOMPARE(dialog.CheckBoxContextCorrection->text(), QStringLiteral("Context Correction"));
    QVERIFY(dialog.CheckBoxSplit->isChecked());
    QVERIFY(dialog.CheckBoxCompare->isChecked());
    QVERIFY(dialog.CheckBoxContextCorrection->isChecked());
    QCOMPARE(dialog.GroupBoxNoiseRemoval->title(), QStringLiteral("Spot Removal"));
    QCOMPARE(dialog.RadioButtonNrNone->text(), QStringLiteral("None"));
    QCOMPARE(dialog.RadioButtonNrSmart->text(), QStringLiteral("Smart"));
    QCOMPARE(dialog.RadioButtonNRAlways->text(), QStringLiteral("Always"));
    QVERIFY(!dialog.RadioButtonNrNone->isChecked());
    QVERIFY(!dialog.RadioButtonNrSmart->isChecked());
    QVERIFY(dialog.RadioButtonNRAlways->isChecked());
    QCOMPARE(dialog.Label1->text(), QStringLiteral("Max Spot Size"));
    QCOMPARE(dialog.Label2->text(), QStringLiteral("(-1 = automatic)"));
    QCOMPARE(dialog.SpinEditMaxSpotSize->value(), 8);
    QCOMPARE(dialog.Button1->text(), QStringLiteral("OK"));
    QCOMPARE(dialog.Button2->text(), QStringLiteral("Cancel"));
  }

  void SpinEditAcceptsMinusOneToNinetyNine_data() {
    QTest::addColumn<int>("typed");
    QTest::addColumn<int>("held");
    QTest::newRow("automatic") << -1 << -1;
    QTest::newRow("below automatic") << -2 << -1;
    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("largest") << 99 << 99;
    QTest::newRow("above largest") << 100 << 99;
  }

  void SpinEditAcceptsMinusOneToNinetyNine() {
    QFETCH(int, typed);
    QFETCH(int, held);
    TOCRDialog dialog;
    dialog.SpinEditMaxSpotSize->setValue(typed);
    QCOMPARE(dialog.SpinEditMaxSpotSize->value(), held);
    QCOMPARE(dialog.Choices().MaxSpotSize, held);
  }

  void ChoicesFollowTheControls() {
    TOCRDialog dialog;
    const TOCRChoices defaults = dialog.Choices();
    QCOMPARE(defaults.Area, static_cast<int>(acParagraph));
    QCOMPARE(defaults.Content, static_cast<int>(ccAlphanumeric));
    QVERIFY(!defaults.SpotRemovalNone && !defaults.SpotRemovalSmart);

    dialog.RadioGroupArea->SetItemIndex(acWord);
    dialog.RadioGroupContent->SetItemIndex(ccLetters);
    dialog.RadioGroupQuality->SetItemIndex(qcFax);
    dialog.RadioButtonNrSmart->setChecked(true);
    dialog.CheckBoxSplit->setChecked(false);
    dialog.CheckBoxCompare->setChecked(false);
    const TOCRChoices changed = dialog.Choices();
    QCOMPARE(changed.Area, static_cast<int>(acWord));
    QCOMPARE(changed.Content, static_cast<int>(ccLetters));
    QCOMPARE(changed.Quality, static_cast<int>(qcFax));
    QVERIFY(changed.SpotRemovalSmart && !changed.SpotRemovalNone);
    QVERIFY(!dialog.RadioButtonNRAlways->isChecked());
    QVERIFY(!changed.SplitTouching && !changed.SimilarityCorrection && changed.ContextCorrection);
  }

  void ButtonsCloseWithTheirResults() {
    TOCRDialog dialog;
    QTimer::singleShot(0, dialog.Button1, &QPushButton::click);
    QCOMPARE(dialog.exec(), static_cast<int>(QDialog::Accepted));
    QTimer::singleShot(0, dialog.Button2, &QPushButton::click);
    QCOMPARE(dialog.exec(), static_cast<int>(QDialog::Rejected));
  }
};

OMNIOCR_DEMO_TEST(TOCRDialogTest);

}  // namespace omniocr::demo::test

#include "dialog_test.moc"
