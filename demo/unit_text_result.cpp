#include "demo/unit_text_result.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTextEdit>
#include <QVBoxLayout>

namespace omniocr::demo {

TFormTextResult::TFormTextResult(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), RichEditResult(new QTextEdit(this)) {
  setWindowTitle(QStringLiteral("OCR Text Result"));
  resize(402, 350);
  RichEditResult->setAcceptRichText(true);
  RichEditResult->setLineWrapMode(QTextEdit::NoWrap);
  RichEditResult->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  RichEditResult->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(RichEditResult);
}

QString TFormTextResult::Text() const { return RichEditResult->toPlainText(); }

void TFormTextResult::showEvent(QShowEvent* event) {
  // Centred on the desktop the first time; afterwards where the user left it.
  if (!Placed_) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      QRect frame = frameGeometry();
      frame.moveCenter(screen->availableGeometry().center());
      move(frame.topLeft());
    }
    Placed_ = true;
  }
  QWidget::showEvent(event);
}

}  // namespace omniocr::demo
