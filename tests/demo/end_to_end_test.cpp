// The whole OCR command as a person uses it: open a page, drag a rectangle
// over a word, accept the parameters dialog, then read the result window
// and the enlarged zone, and click a box to list its candidates.

#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "demo/char_inspection.h"
#include "demo/demo_application.h"
#include "demo/image_scroll_box.h"
#include "demo/radio_group.h"
#include "demo/result_drawing.h"
#include "demo/unit_demo_icrocr.h"
#include "demo/unit_parametri_ocr.h"
#include "demo/unit_text_result.h"
#include "demo_test_support.h"
#include "engine/char_codes.h"
#include "engine/omnifont_ocr.h"

namespace omniocr::demo::test {

class TEndToEndTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    QVERIFY(Dir_.isValid());
    // A word of three figure-like strokes, and a mark outside the zone.
    Page_ = WritePage(Dir_.path(), QStringLiteral("word.png"), QSize(200, 120),
                      {{40, 30, 45, 55}, {52, 30, 57, 55}, {64, 30, 69, 55}, {150, 90, 170, 110}});
    QVERIFY(!Page_.isEmpty());
  }

  void WordIsRecognisedAndDrawn() {
    TDemoApplication app;
    TForm1& form = *app.Form1;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    TMessageRecorder recorder;
    form.OpenPicture(Page_);

    // Drag over the word at 100 %: displayed pixels are image pixels.
    TImageScrollBox* upper = form.ImageScrollBox1;
    MouseDrag(upper->viewport(), upper->DisplayToViewport(QPointF(30, 20)),
              upper->DisplayToViewport(QPointF(80, 66)));
    QCOMPARE(upper->SelectedRect(), (TImageRect{30, 20, 80, 66}));

    app.OCRDialog->RadioGroupArea->SetItemIndex(acWord);
    app.OCRDialog->RadioGroupContent->SetItemIndex(ccNumeric);
    QTimer::singleShot(0, app.OCRDialog.get(), &QDialog::accept);
    form.ActionOCR->trigger();
    QVERIFY2(recorder.Messages.empty(),
             recorder.Messages.empty() ? "" : qPrintable(recorder.Messages[0].Text));

    // The engine ran on the zone with the dialog's parameters.
    const TOmnifontOCR& engine = form.Engine();
    QCOMPARE(int(engine.AreaType), int(atWord));
    QVERIFY(engine.NumericOnly);
    QCOMPARE(engine.Chars.Count(), 3);

    // One character per record in the text window, no spaces for a word.
    QVERIFY(app.FormTextResult->isVisible());
    QString expected;
    for (int i = 0; i < engine.Chars.Count(); ++i)
      expected += QString::fromStdString(RecordText(*engine.Chars[i]));
    QCOMPARE(app.FormTextResult->Text(), expected);
    QCOMPARE(expected.size(), 3);
    QVERIFY(!expected.contains(QLatin1Char(' ')));

    // The lower viewer shows the zone doubled in true colour with a blue box per record.
    const TImageScrollBox* lower = form.ImageScrollBox2;
    const TDibGraphic& enlarged = lower->Graphic();
    QCOMPARE(enlarged.Width(), 100);
    QCOMPARE(enlarged.Height(), 92);
    QCOMPARE(enlarged.BitCount(), 24);
    QCOMPARE(lower->ZoomPercent(), 100.0f);
    QCOMPARE(lower->MouseMode(), int(mmNone));
    QCOMPARE(lower->ViewerCursor().shape(), Qt::WhatsThisCursor);
    QCOMPARE(form.ShownChars().size(), std::size_t{3});
    for (const TOCRChar& record : form.ShownChars()) {
      const TImageRect box = EnlargedBox(record);
      QCOMPARE(PixelColor(enlarged, box.Right - 1, box.Bottom - 1), QColor(Qt::blue));
      QCOMPARE(PixelColor(enlarged, box.Left, box.Bottom - 1), QColor(Qt::blue));
    }
    // The first stroke (columns 40..45 of the page) starts at column 10 of the zone.
    QCOMPARE(form.ShownChars()[0].Left, 10);
    QCOMPARE(form.ShownChars()[0].Top, 10);

    // A click on the second box lists its candidates; a click beside the boxes does nothing.
    const TOCRChar second = form.ShownChars()[1];
    const TImageRect box = EnlargedBox(second);
    MousePress(lower->viewport(), lower->DisplayToViewport(QPointF(box.Left + 3, box.Top + 20)));
    QCOMPARE(recorder.Messages.size(), std::size_t{1});
    QCOMPARE(recorder.Messages[0].Kind, TMessageKind::Information);
    QCOMPARE(recorder.Messages[0].Text, CandidateText(second));
    MousePress(lower->viewport(), lower->DisplayToViewport(QPointF(2, 2)));
    QCOMPARE(recorder.Messages.size(), std::size_t{1});
  }

  // A selection whose top edge cuts through the strokes of the line above
  // (rows 30..55 of the page) reads only the line it holds (rows 80..105),
  // and the records are drawn on the selection as it was made.
  void SelectionThatClipsALineAboveReadsTheLineBelow() {
    const QString page = WritePage(Dir_.path(), QStringLiteral("lines.png"), QSize(200, 140),
                                   {{40, 30, 45, 55},
                                    {52, 30, 57, 55},
                                    {64, 30, 69, 55},
                                    {40, 80, 45, 105},
                                    {52, 80, 57, 105},
                                    {64, 80, 69, 105}});
    TDemoApplication app;
    TForm1& form = *app.Form1;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    TMessageRecorder recorder;
    form.OpenPicture(page);
    TImageScrollBox* upper = form.ImageScrollBox1;
    MouseDrag(upper->viewport(), upper->DisplayToViewport(QPointF(30, 45)),
              upper->DisplayToViewport(QPointF(80, 115)));
    QCOMPARE(upper->SelectedRect(), (TImageRect{30, 45, 80, 115}));
    app.OCRDialog->RadioGroupContent->SetItemIndex(ccNumeric);
    QTimer::singleShot(0, app.OCRDialog.get(), &QDialog::accept);
    form.ActionOCR->trigger();
    QVERIFY2(recorder.Messages.empty(),
             recorder.Messages.empty() ? "" : qPrintable(recorder.Messages[0].Text));

    int strokes = 0;
    for (const TOCRChar& record : form.ShownChars()) {
      if (record.HasEmptyBox() || record.BestChar == SpaceChar) continue;
      ++strokes;
      QCOMPARE(record.Top, 80 - 45);
      QCOMPARE(record.Bottom, 105 - 45);
    }
    QCOMPARE(strokes, 3);
    // The lower viewer shows the whole selection, doubled.
    QCOMPARE(form.ImageScrollBox2->Graphic().Height(), 2 * 70);
  }

 private:
  QTemporaryDir Dir_;
  QString Page_;
};

OMNIOCR_DEMO_TEST(TEndToEndTest);

}  // namespace omniocr::demo::test

#include "end_to_end_test.moc"
