#pragma once

// TForm1: the program's main window. The upper viewer shows the opened page,
// where the user drags a rectangle over text; the OCR command recognises it
// with the parameters of the dialog, writes the text into the result window
// and shows the zone enlarged in the lower viewer with every character's box
// and reading, where a click on a box lists that character's candidates.

#include <QMainWindow>
#include <memory>
#include <vector>

#include "engine/ocr_types.h"

class QAction;
class QFileDialog;
class QSplitter;
class QStatusBar;

namespace omniocr {
class TDibGraphic;
class TOmnifontOCR;
}  // namespace omniocr

namespace omniocr::demo {

class TFormTextResult;
class TImageScrollBox;
class TOCRDialog;

class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  // The result window and the parameters dialog, created after this window.
  void SetCompanions(TFormTextResult* textResult, TOCRDialog* ocrDialog);

  TOmnifontOCR& Engine() { return *OCR_; }
  // The records drawn on the lower viewer's zone, which a click inspects.
  const std::vector<TOCRChar>& ShownChars() const { return ShownChars_; }

  // Command handlers; failures leave them as exceptions (the actions show
  // them in message boxes).
  void ActionOpenExecute();
  void OpenPicture(const QString& fileName);  // the part of Open after the file dialog
  void ActionExitExecute();
  void ActionZoomInExecute();
  void ActionZoomOutExecute();
  void ActionFitToWidthExecute();
  void ActionFitToHeightExecute();
  void ActionFitToPageExecute();
  void ActionNoZoomExecute();
  void ActionOCRExecute();
  void ActionAboutExecute();
  void ImageScrollBox2ImageMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

  QAction* ActionOpen;
  QAction* ActionExit;
  QAction* ActionZoomIn;
  QAction* ActionZoomOut;
  QAction* ActionFitToWidth;
  QAction* ActionFitToHeight;
  QAction* ActionFitToPage;
  QAction* ActionNoZoom;
  QAction* ActionOCR;
  QAction* ActionAbout;
  TImageScrollBox* ImageScrollBox1;
  TImageScrollBox* ImageScrollBox2;
  QWidget* Panel1;
  QSplitter* Splitter1;
  QStatusBar* StatusBar1;
  QFileDialog* OpenPictureDialog1;

 signals:
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate();
  void FormDestroy();
  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  void CreateViewers();
  void CreateOpenPictureDialog();
  void RecognizeZone(const TDibGraphic& zone, int area);
  // Draws the engine's records, moved by (dx, dy) from the part of the zone
  // the engine read onto the zone as selected.
  void PresentResults(TDibGraphic& zone, int dx, int dy);
  void ShowZone(const TDibGraphic& zone);

  std::unique_ptr<TOmnifontOCR> OCR_;
  TFormTextResult* FormTextResult_ = nullptr;
  TOCRDialog* OCRDialog_ = nullptr;
  std::vector<TOCRChar> ShownChars_;
};

}  // namespace omniocr::demo
