#include "demo/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>
#include <utility>

namespace omniocr::demo {

namespace {

void ShowModalBox(QWidget* parent, TMessageKind kind, const QString& text) {
  const QString title = QApplication::applicationName();
  if (kind == TMessageKind::Information)
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
  else
    QMessageBox::critical(parent, title, text, QMessageBox::Ok);
}

TMessageSink& CurrentSink() {
  static TMessageSink sink;
  return sink;
}

}  // namespace

void ShowMessageBox(QWidget* parent, TMessageKind kind, const QString& text) {
  if (CurrentSink())
    CurrentSink()(parent, kind, text);
  else
    ShowModalBox(parent, kind, text);
}

TMessageSink SetMessageSink(TMessageSink sink) { return std::exchange(CurrentSink(), std::move(sink)); }

void RunCommand(QWidget* parent, const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& error) {
    ShowMessageBox(parent, TMessageKind::Error, QString::fromUtf8(error.what()));
  } catch (...) {
    ShowMessageBox(parent, TMessageKind::Error, QStringLiteral("Unknown error"));
  }
}

}  // namespace omniocr::demo
