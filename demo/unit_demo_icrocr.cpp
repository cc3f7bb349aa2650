#include "demo/unit_demo_icrocr.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileDialog>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <stdexcept>

#include "demo/char_inspection.h"
#include "demo/graphic_canvas.h"
#include "demo/image_scroll_box.h"
#include "demo/message_box.h"
#include "demo/ocr_parameters.h"
#include "demo/product.h"
#include "demo/result_drawing.h"
#include "demo/toolbar_icons.h"
#include "demo/unit_parametri_ocr.h"
#include "demo/unit_text_result.h"
#include "dibunit/global_memory.h"
#include "engine/omnifont_ocr.h"
#include "imaging/dib_graphic.h"
#include "imaging/transforms.h"
#include "imaging/zone_edges.h"

namespace omniocr::demo {

namespace {

constexpr int kLowerPanelHeight = 135;
constexpr int kSplitterWidth = 3;

// Frees a packed bitmap when the recognition call returns or raises.
class TPackedDibOwner {
 public:
  explicit TPackedDibOwner(TGlobalHandle handle) : Handle_(handle) {}
  ~TPackedDibOwner() { GlobalFree(Handle_); }
  TPackedDibOwner(const TPackedDibOwner&) = delete;
  TPackedDibOwner& operator=(const TPackedDibOwner&) = delete;
  TGlobalHandle Get() const { return Handle_; }

 private:
  TGlobalHandle Handle_;
};

}  // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QString::fromUtf8(kMainWindowCaption));
  resize(900, 700);
  CreateActions();
  CreateMenus();
  CreateToolBar();
  CreateViewers();
  CreateOpenPictureDialog();
  StatusBar1 = new QStatusBar(this);
  setStatusBar(StatusBar1);
  FormCreate();
}

TForm1::~TForm1() { FormDestroy(); }

void TForm1::FormCreate() { OCR_ = std::make_unique<TOmnifontOCR>(); }

void TForm1::FormDestroy() { OCR_.reset(); }

void TForm1::SetCompanions(TFormTextResult* textResult, TOCRDialog* ocrDialog) {
  FormTextResult_ = textResult;
  OCRDialog_ = ocrDialog;
}

void TForm1::CreateActions() {
  // The menu shows the text with its accelerator mark, the tool bar and the
  // tool tips the action's own caption.
  const auto action = [this](const char* name, const QString& caption, const QString& menuCaption,
                             void (TForm1::*handler)()) {
    auto* result = new QAction(menuCaption, this);
    result->setObjectName(QString::fromLatin1(name));
    result->setIconText(caption);
    result->setToolTip(caption);
    connect(result, &QAction::triggered, this,
            [this, handler] { RunCommand(this, [this, handler] { (this->*handler)(); }); });
    return result;
  };
  ActionOpen = action("ActionOpen", "Open...", "&Open...", &TForm1::ActionOpenExecute);
  ActionExit = action("ActionExit", "Exit", "&Exit", &TForm1::ActionExitExecute);
  ActionZoomIn = action("ActionZoomIn", "Zoom In", "&Zoom In", &TForm1::ActionZoomInExecute);
  ActionZoomOut = action("ActionZoomOut", "ZoomOut", "Z&oomOut", &TForm1::ActionZoomOutExecute);
  ActionFitToWidth =
      action("ActionFitToWidth", "Fit To Width", "&Fit To Width", &TForm1::ActionFitToWidthExecute);
  ActionFitToHeight =
      action("ActionFitToHeight", "Fit To Height", "F&it To Height", &TForm1::ActionFitToHeightExecute);
  ActionFitToPage = action("ActionFitToPage", "Fit To Page", "Fi&t To Page", &TForm1::ActionFitToPageExecute);
  ActionNoZoom = action("ActionNoZoom", "No Zoom", "&No Zoom", &TForm1::ActionNoZoomExecute);
  ActionOCR = action("ActionOCR", "OCR...", "O&CR...", &TForm1::ActionOCRExecute);
  ActionAbout = action("ActionAbout", "About", "&About", &TForm1::ActionAboutExecute);
  ActionOpen->setIcon(OpenIcon());
  ActionOCR->setIcon(OcrIcon());
  ActionZoomIn->setIcon(ZoomInIcon());
  ActionZoomOut->setIcon(ZoomOutIcon());
  ActionFitToWidth->setIcon(FitWidthIcon());
  ActionFitToHeight->setIcon(FitHeightIcon());
  ActionFitToPage->setIcon(FitPageIcon());
}

void TForm1::CreateMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->addAction(ActionOpen);
  file->addSeparator();
  file->addAction(ActionExit);
  QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
  view->addAction(ActionZoomIn);
  view->addAction(ActionZoomOut);
  view->addSeparator();
  view->addAction(ActionFitToWidth);
  view->addAction(ActionFitToHeight);
  view->addAction(ActionFitToPage);
  view->addSeparator();
  view->addAction(ActionNoZoom);
  QMenu* process = menuBar()->addMenu(QStringLiteral("&Process"));
  process->addAction(ActionOCR);
  QMenu* help = menuBar()->addMenu(QStringLiteral("?"));
  help->addAction(ActionAbout);
}

void TForm1::CreateToolBar() {
  QToolBar* bar = addToolBar(QStringLiteral("Tools"));
  bar->setObjectName(QStringLiteral("ToolBar1"));
  bar->setMovable(false);
  bar->addAction(ActionOpen);
  bar->addSeparator();
  bar->addAction(ActionOCR);
  bar->addSeparator();
  bar->addAction(ActionZoomIn);
  bar->addAction(ActionZoomOut);
  bar->addAction(ActionFitToWidth);
  bar->addAction(ActionFitToHeight);
  bar->addAction(ActionFitToPage);
}

void TForm1::CreateViewers() {
  Splitter1 = new QSplitter(Qt::Vertical, this);
  Splitter1->setHandleWidth(kSplitterWidth);
  Splitter1->setChildrenCollapsible(false);
  ImageScrollBox1 = new TImageScrollBox(Splitter1);
  ImageScrollBox1->setObjectName(QStringLiteral("ImageScrollBox1"));
  ImageScrollBox1->SetScrollBarsVisible(false);
  ImageScrollBox1->SetZoomMode(zmPercent);
  ImageScrollBox1->SetZoomPercent(100);

  Panel1 = new QWidget(Splitter1);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  auto* panelLayout = new QVBoxLayout(Panel1);
  panelLayout->setContentsMargins(0, 0, 0, 0);
  ImageScrollBox2 = new TImageScrollBox(Panel1);
  ImageScrollBox2->setObjectName(QStringLiteral("ImageScrollBox2"));
  ImageScrollBox2->SetMouseMode(mmNone);
  ImageScrollBox2->SetViewerCursor(Qt::WhatsThisCursor);
  panelLayout->addWidget(ImageScrollBox2);
  connect(ImageScrollBox2, &TImageScrollBox::ImageMouseDown, this,
          [this](Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
            RunCommand(this, [&] { ImageScrollBox2ImageMouseDown(button, shift, x, y); });
          });

  Splitter1->addWidget(ImageScrollBox1);
  Splitter1->addWidget(Panel1);
  Splitter1->setStretchFactor(0, 1);
  Splitter1->setStretchFactor(1, 0);
  Splitter1->setSizes({height(), kLowerPanelHeight});
  setCentralWidget(Splitter1);
}

void TForm1::CreateOpenPictureDialog() {
  OpenPictureDialog1 = new QFileDialog(this, QStringLiteral("Open"));
  OpenPictureDialog1->setFileMode(QFileDialog::ExistingFile);
  OpenPictureDialog1->setAcceptMode(QFileDialog::AcceptOpen);
  OpenPictureDialog1->setNameFilters(
      {QStringLiteral(
           "All pictures (*.tif *.tiff *.jpg *.jpeg *.png *.bmp *.dib *.pcx *.ico *.pbm *.pgm *.ppm "
           "*.pnm)"),
       QStringLiteral("All files (*)")});
}

void TForm1::ActionOpenExecute() {
  if (OpenPictureDialog1->exec() != QDialog::Accepted) return;
  const QStringList files = OpenPictureDialog1->selectedFiles();
  if (!files.isEmpty()) OpenPicture(files.first());
}

void TForm1::OpenPicture(const QString& fileName) {
  ImageScrollBox1->LoadFromFile(fileName, 1);
  ImageScrollBox1->SetZoomMode(zmPercent);
  ImageScrollBox1->SetZoomPercent(100);
  ImageScrollBox1->SetMouseMode(mmRubberband);
  ImageScrollBox1->ClearSelection();
  ImageScrollBox1->SetViewerCursor(Qt::CrossCursor);
}

void TForm1::ActionExitExecute() { close(); }

void TForm1::ActionZoomInExecute() {
  ImageScrollBox1->SetZoomMode(zmPercent);
  ImageScrollBox1->SetZoomPercent(ZoomedIn(ImageScrollBox1->ZoomPercent()));
}

void TForm1::ActionZoomOutExecute() {
  ImageScrollBox1->SetZoomMode(zmPercent);
  ImageScrollBox1->SetZoomPercent(ZoomedOut(ImageScrollBox1->ZoomPercent()));
}

void TForm1::ActionFitToWidthExecute() { ImageScrollBox1->SetZoomMode(zmFitWidth); }

void TForm1::ActionFitToHeightExecute() { ImageScrollBox1->SetZoomMode(zmFitHeight); }

void TForm1::ActionFitToPageExecute() { ImageScrollBox1->SetZoomMode(zmFitToPage); }

void TForm1::ActionNoZoomExecute() {
  ImageScrollBox1->SetZoomMode(zmPercent);
  ImageScrollBox1->SetZoomPercent(100);
}

void TForm1::ActionAboutExecute() {
  ShowMessageBox(this, TMessageKind::Information,
                 QStringLiteral("%1 %2\nOmnifont optical character recognition of printed Latin text.")
                     .arg(QString::fromUtf8(kProductName), QString::fromUtf8(ProductVersion())));
}

void TForm1::ActionOCRExecute() {
  if (FormTextResult_ == nullptr || OCRDialog_ == nullptr)
    throw std::logic_error("the result window and the parameters dialog are missing");
  if (ImageScrollBox1->MouseMode() != mmRubberband)
    throw EDemoError("Please switch mouse mode to selection and select the area to recognize...");
  if (!ImageScrollBox1->HasSelection())
    throw EDemoError("Please select with the mouse the area to recognize...");
  const TImageRect r = ImageScrollBox1->SelectedRect();
  TDibGraphic zone;
  const TCropTransform crop(r.Left, r.Top, r.Right, r.Bottom);
  crop.ApplyOnDest(ImageScrollBox1->Graphic(), zone);
  if (OCRDialog_->exec() == QDialog::Accepted) {
    const TOCRChoices choices = OCRDialog_->Choices();
    ApplyChoices(choices, *OCR_);
    // The engine reads the zone with its edges moved off any line they cut;
    // the records are drawn on the zone as selected.
    const TZoneCrop read =
        CropZoneClearOfCutLines(ImageScrollBox1->Graphic(), {r.Left, r.Top, r.Right, r.Bottom});
    RecognizeZone(read.Image, choices.Area);
    PresentResults(zone, read.Zone.Left - std::max(r.Left, 0), read.Zone.Top - std::max(r.Top, 0));
  } else {
    // The lower viewer now shows a plain zone: there is no box to inspect.
    ShownChars_.clear();
  }
  ShowZone(zone);
}

void TForm1::RecognizeZone(const TDibGraphic& zone, int area) {
  const TPackedDibOwner packed(zone.GetPackedDib());
  RecognizeArea(*OCR_, area, packed.Get());
}

void TForm1::PresentResults(TDibGraphic& zone, int dx, int dy) {
  EnlargeZone(zone);
  QTextEdit* edit = FormTextResult_->RichEditResult;
  edit->clear();
  QTextCursor caret = edit->textCursor();
  TGraphicCanvas canvas(zone);
  std::vector<TOCRChar> drawn;
  drawn.reserve(static_cast<std::size_t>(OCR_->Chars.Count()));
  for (int i = 0; i < OCR_->Chars.Count(); ++i) {
    const TOCRChar record = ShiftedRecord(*OCR_->Chars[i], dx, dy);
    DrawRecord(canvas, record);
    caret.insertText(ResultText(record));
    drawn.push_back(record);
  }
  edit->setTextCursor(caret);
  ShownChars_ = std::move(drawn);
}

void TForm1::ShowZone(const TDibGraphic& zone) {
  FormTextResult_->show();
  FormTextResult_->raise();
  ImageScrollBox2->Graphic().Assign(zone);
  ImageScrollBox2->SetZoomMode(zmPercent);
  ImageScrollBox2->SetZoomPercent(100);
  ImageScrollBox2->SetMouseMode(mmNone);
  ImageScrollBox2->SetViewerCursor(Qt::WhatsThisCursor);
  ImageScrollBox2->Redraw();
}

void TForm1::ImageScrollBox2ImageMouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
  const int index = FindClickedRecord(ShownChars_, x, y);
  if (index < 0) return;
  ShowMessageBox(this, TMessageKind::Information,
                 CandidateText(ShownChars_[static_cast<std::size_t>(index)]));
}

void TForm1::closeEvent(QCloseEvent* event) {
  event->accept();
  emit Closed();
}

}  // namespace omniocr::demo
