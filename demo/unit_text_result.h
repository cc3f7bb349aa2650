#pragma once

// TFormTextResult: the tool window that shows the recognised text. The OCR
// command clears it and writes into it; the user may edit or copy the text.

#include <QWidget>

class QTextEdit;

namespace omniocr::demo {

class TFormTextResult : public QWidget {
  Q_OBJECT

 public:
  explicit TFormTextResult(QWidget* parent = nullptr);

  // The text as the window shows it.
  QString Text() const;

  QTextEdit* RichEditResult;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  bool Placed_ = false;
};

}  // namespace omniocr::demo
