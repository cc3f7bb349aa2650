#pragma once

// The program's three windows, created in this order: the main window, the
// result window, the parameters dialog. The dialog and the result window
// live as long as the program, so the dialog keeps the user's choices.

#include <memory>

class QApplication;

namespace omniocr::demo {

class TForm1;
class TFormTextResult;
class TOCRDialog;

class TDemoApplication {
 public:
  TDemoApplication();
  ~TDemoApplication();
  TDemoApplication(const TDemoApplication&) = delete;
  TDemoApplication& operator=(const TDemoApplication&) = delete;

  std::unique_ptr<TForm1> Form1;
  std::unique_ptr<TFormTextResult> FormTextResult;
  std::unique_ptr<TOCRDialog> OCRDialog;
};

// Names the application after the product.
void SetApplicationTitle(QApplication& application);

}  // namespace omniocr::demo
