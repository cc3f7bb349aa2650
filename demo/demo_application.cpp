#include "demo/demo_application.h"

#include <QApplication>

#include "demo/product.h"
#include "demo/unit_demo_icrocr.h"
#include "demo/unit_parametri_ocr.h"
#include "demo/unit_text_result.h"

namespace omniocr::demo {

TDemoApplication::TDemoApplication()
    : Form1(std::make_unique<TForm1>()),
      FormTextResult(std::make_unique<TFormTextResult>()),
      OCRDialog(std::make_unique<TOCRDialog>()) {
  Form1->SetCompanions(FormTextResult.get(), OCRDialog.get());
}

TDemoApplication::~TDemoApplication() = default;

void SetApplicationTitle(QApplication& application) {
  // The name, not the display name: a display name would be appended to
  // every window's title bar, and the windows' captions are to read as
  // they are.
  application.setApplicationName(QString::fromUtf8(kApplicationTitle));
  application.setApplicationVersion(QString::fromUtf8(ProductVersion()));
}

}  // namespace omniocr::demo
