// The main window: menus, tool bar and layout, the zoom commands, and the
// OCR command's refusals, cancellation and failures.

#include <QMenuBar>
#include <QRadioButton>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>

#include "demo/demo_application.h"
#include "demo/image_scroll_box.h"
#include "demo/radio_group.h"
#include "demo/unit_demo_icrocr.h"
#include "demo/unit_parametri_ocr.h"
#include "demo/unit_text_result.h"
#include "demo_test_support.h"
#include "engine/omnifont_ocr.h"

namespace omniocr::demo::test {

namespace {

const QString kSwitchMode =
    QStringLiteral("Please switch mouse mode to selection and select the area to recognize...");
const QString kSelectArea = QStringLiteral("Please select with the mouse the area to recognize...");

// The texts of a menu's entries, "-" for a separator.
QStringList EntryTexts(const QList<QAction*>& actions) {
  QStringList texts;
  for (const QAction* action : actions)
    texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
  return texts;
}

QStringList ToolBarCaptions(const QToolBar* bar) {
  QStringList texts;
  for (const QAction* action : bar->actions())
    texts << (action->isSeparator() ? QStringLiteral("-") : action->iconText());
  return texts;
}

// Closes the parameters dialog, once it is open, with OK or Cancel.
void AnswerDialog(TOCRDialog* dialog, bool accept) {
  QTimer::singleShot(0, dialog, [dialog, accept] { accept ? dialog->accept() : dialog->reject(); });
}

}  // namespace

class TMainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    QVERIFY(Dir_.isValid());
    Page_ = WritePage(Dir_.path(), QStringLiteral("page.png"), QSize(120, 80),
                      {{10, 10, 15, 30}, {22, 10, 27, 30}, {34, 10, 39, 30}});
    QVERIFY(!Page_.isEmpty());
  }

  void MenusCarryTheirAccelerators() {
    TDemoApplication app;
    const QList<QAction*> menus = app.Form1->menuBar()->actions();
    QCOMPARE(EntryTexts(menus), (QStringList{"&File", "&View", "&Process", "?"}));
    QCOMPARE(EntryTexts(menus[0]->menu()->actions()), (QStringList{"&Open...", "-", "&Exit"}));
    QCOMPARE(EntryTexts(menus[1]->menu()->actions()),
             (QStringList{"&Zoom In", "Z&oomOut", "-", "&Fit To Width", "F&it To Height", "Fi&t To Page", "-",
                          "&No Zoom"}));
    QCOMPARE(EntryTexts(menus[2]->menu()->actions()), (QStringList{"O&CR..."}));
    QCOMPARE(EntryTexts(menus[3]->menu()->actions()), (QStringList{"&About"}));
  }

  void ToolBarOrder() {
    TDemoApplication app;
    const QList<QToolBar*> bars = app.Form1->findChildren<QToolBar*>();
    QCOMPARE(bars.size(), 1);
    QCOMPARE(ToolBarCaptions(bars[0]), (QStringList{"Open...", "-", "OCR...", "-", "Zoom In", "ZoomOut",
                                                    "Fit To Width", "Fit To Height", "Fit To Page"}));
  }

  void ViewersAndPanel() {
    TDemoApplication app;
    app.Form1->show();
    QVERIFY(QTest::qWaitForWindowExposed(app.Form1.get()));
    QCOMPARE(app.Form1->Panel1->height(), 135);
    QCOMPARE(app.Form1->Splitter1->handleWidth(), 3);
    QCOMPARE(app.Form1->ImageScrollBox1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(app.Form1->ImageScrollBox1->ZoomPercent(), 100.0f);
    QCOMPARE(app.Form1->ImageScrollBox2->ViewerCursor().shape(), Qt::WhatsThisCursor);
    QCOMPARE(app.FormTextResult->windowTitle(), QStringLiteral("OCR Text Result"));
    QVERIFY(app.FormTextResult->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(app.FormTextResult->size(), QSize(402, 350));
  }

  void OpenShowsThePageForSelection() {
    TDemoApplication app;
    TImageScrollBox* viewer = app.Form1->ImageScrollBox1;
    viewer->SetZoomMode(zmFitToPage);
    app.Form1->OpenPicture(Page_);
    QCOMPARE(viewer->Graphic().Width(), 120);
    QCOMPARE(viewer->Graphic().Height(), 80);
    QCOMPARE(viewer->ZoomMode(), zmPercent);
    QCOMPARE(viewer->ZoomPercent(), 100.0f);
    QCOMPARE(viewer->MouseMode(), int(mmRubberband));
    QVERIFY(!viewer->HasSelection());
    QCOMPARE(viewer->ViewerCursor().shape(), Qt::CrossCursor);
  }

  void ZoomCommandsWorkOnTheUpperViewer() {
    TDemoApplication app;
    TForm1& form = *app.Form1;
    TImageScrollBox* viewer = form.ImageScrollBox1;
    form.ActionFitToWidth->trigger();
    QCOMPARE(viewer->ZoomMode(), zmFitWidth);
    form.ActionZoomIn->trigger();
    QCOMPARE(viewer->ZoomMode(), zmPercent);
    QCOMPARE(viewer->ZoomPercent(), 105.0f);
    form.ActionZoomIn->trigger();
    QCOMPARE(viewer->ZoomPercent(), 110.0f);
    form.ActionFitToHeight->trigger();
    QCOMPARE(viewer->ZoomMode(), zmFitHeight);
    form.ActionFitToPage->trigger();
    QCOMPARE(viewer->ZoomMode(), zmFitToPage);
    form.ActionNoZoom->trigger();
    QCOMPARE(viewer->ZoomMode(), zmPercent);
    QCOMPARE(viewer->ZoomPercent(), 100.0f);
    form.ActionZoomOut->trigger();
    QCOMPARE(viewer->ZoomPercent(), 95.0f);
    QCOMPARE(app.Form1->ImageScrollBox2->ZoomPercent(), 100.0f);
  }

  void OCRRefusesWithoutSelectionMode() {
    TDemoApplication app;
    TMessageRecorder recorder;
    app.Form1->ActionOCR->trigger();
    QCOMPARE(recorder.Messages.size(), std::size_t{1});
    QCOMPARE(recorder.Messages[0].Kind, TMessageKind::Error);
    QCOMPARE(recorder.Messages[0].Text, kSwitchMode);
    QVERIFY(!app.FormTextResult->isVisible());
    QVERIFY(app.Form1->ImageScrollBox2->Graphic().Empty());
    // The same refusal after the page is opened but the mode is changed.
    app.Form1->OpenPicture(Page_);
    app.Form1->ImageScrollBox1->SetMouseMode(mmQuickSelect);
    app.Form1->ImageScrollBox1->SelectImageRect(TImageRect{0, 0, 50, 40});
    QVERIFY_THROWS_EXCEPTION(EDemoError, app.Form1->ActionOCRExecute());
  }

  void OCRRefusesWithoutSelection() {
    TDemoApplication app;
    TMessageRecorder recorder;
    app.Form1->OpenPicture(Page_);
    app.Form1->ActionOCR->trigger();
    QCOMPARE(recorder.Messages.size(), std::size_t{1});
    QCOMPARE(recorder.Messages[0].Text, kSelectArea);
    QVERIFY(!app.FormTextResult->isVisible());
    QVERIFY(!app.OCRDialog->isVisible());
  }

  void NewPageClearsTheSelection() {
    TDemoApplication app;
    TMessageRecorder recorder;
    app.Form1->OpenPicture(Page_);
    app.Form1->ImageScrollBox1->SelectImageRect(TImageRect{5, 5, 50, 40});
    app.Form1->OpenPicture(Page_);
    app.Form1->ActionOCR->trigger();
    QCOMPARE(recorder.Messages.size(), std::size_t{1});
    QCOMPARE(recorder.Messages[0].Text, kSelectArea);
  }

  void EmptySelectionIsRefusedByTheCrop() {
    TDemoApplication app;
    TMessageRecorder recorder;
    app.Form1->OpenPicture(Page_);
    app.Form1->ImageScrollBox1->SelectImageRect(TImageRect{20, 20, 20, 40});
    app.Form1->ActionOCR->trigger();
    QCOMPARE(recorder.Messages.size(), std::size_t{1});
    QCOMPARE(recorder.Messages[0].Text, QStringLiteral("Invalid crop parameters"));
    QVERIFY(!app.OCRDialog->isVisible());
  }

  void CancelLeavesTheEngineAlone() {
    TDemoApplication app;
    TMessageRecorder recorder;
    TOmnifontOCR& engine = app.Form1->Engine();
    app.Form1->OpenPicture(Page_);
    app.Form1->ImageScrollBox1->SelectImageRect(TImageRect{5, 5, 50, 40});
    app.FormTextResult->RichEditResult->setPlainText(QStringLiteral("earlier text"));
    app.OCRDialog->RadioGroupContent->SetItemIndex(ccNumeric);
    app.OCRDialog->RadioButtonNrNone->setChecked(true);
    AnswerDialog(app.OCRDialog.get(), false);
    app.Form1->ActionOCR->trigger();
    QVERIFY(recorder.Messages.empty());
    QVERIFY(engine.NumericOnly);  // still the engine's default
    QVERIFY(engine.AllowedChars.empty());
    QCOMPARE(int(engine.SpotRemoval), int(srAlways));
    QCOMPARE(engine.MaxSpotSize, -1);
    QCOMPARE(int(engine.SplitTouching), 1);
    // The lower viewer shows the plain zone; the text stays.
    const TDibGraphic& zone = app.Form1->ImageScrollBox2->Graphic();
    QCOMPARE(zone.Width(), 45);
    QCOMPARE(zone.Height(), 35);
    QCOMPARE(zone.BitCount(), app.Form1->ImageScrollBox1->Graphic().BitCount());
    QCOMPARE(app.Form1->ImageScrollBox2->MouseMode(), int(mmNone));
    QVERIFY(app.FormTextResult->isVisible());
    QCOMPARE(app.FormTextResult->Text(), QStringLiteral("earlier text"));
    QVERIFY(app.Form1->ShownChars().empty());
    // The dialog keeps the user's choices for the next command.
    QCOMPARE(app.OCRDialog->Choices().Content, int(ccNumeric));
  }

  void EngineFailureKeepsTheEarlierResults() {
    TDemoApplication app;
    TMessageRecorder recorder;
    app.Form1->OpenPicture(Page_);
    app.Form1->ImageScrollBox1->SelectImageRect(TImageRect{5, 5, 45, 35});
    AnswerDialog(app.OCRDialog.get(), true);
    app.Form1->ActionOCR->trigger();
    QVERIFY(recorder.Messages.empty());
    const QString text = app.FormTextResult->Text();
    const std::size_t shown = app.Form1->ShownChars().size();
    QVERIFY(shown > 0);
    // A blank zone: the engine finds nothing.
    app.Form1->ImageScrollBox1->SelectImageRect(TImageRect{60, 40, 110, 75});
    AnswerDialog(app.OCRDialog.get(), true);
    app.Form1->ActionOCR->trigger();
    QCOMPARE(recorder.Messages.size(), std::size_t{1});
    QCOMPARE(recorder.Messages[0].Text, QStringLiteral("no characters found"));
    QCOMPARE(app.FormTextResult->Text(), text);
    QCOMPARE(app.Form1->ImageScrollBox2->Graphic().Width(), 80);  // the earlier zone, doubled
    QCOMPARE(app.Form1->ShownChars().size(), shown);
  }

  void AboutNamesTheProduct() {
    TDemoApplication app;
    TMessageRecorder recorder;
    app.Form1->ActionAbout->trigger();
    QCOMPARE(recorder.Messages.size(), std::size_t{1});
    QCOMPARE(recorder.Messages[0].Kind, TMessageKind::Information);
    QVERIFY(recorder.Messages[0].Text.startsWith(QStringLiteral("omniocr ")));
  }

  void ExitClosesTheMainWindow() {
    TDemoApplication app;
    app.Form1->show();
    bool closed = false;
    connect(app.Form1.get(), &TForm1::Closed, this, [&closed] { closed = true; });
    app.Form1->ActionExit->trigger();
    QVERIFY(closed);
    QVERIFY(!app.Form1->isVisible());
  }

 private:
  QTemporaryDir Dir_;
  QString Page_;
};

OMNIOCR_DEMO_TEST(TMainWindowTest);

}  // namespace omniocr::demo::test

#include "main_window_test.moc"
