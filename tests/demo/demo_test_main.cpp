// Runs every Qt Test class of the desktop program in one process, on the
// offscreen platform unless another is chosen.

#include <QApplication>
#include <QTest>
#include <cstdio>

#include "demo/demo_application.h"
#include "demo/message_box.h"
#include "demo_test_support.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  omniocr::demo::SetApplicationTitle(application);
  // A message box that no test expects must not wait for a click.
  omniocr::demo::SetMessageSink([](QWidget*, omniocr::demo::TMessageKind, const QString& text) {
    std::fprintf(stderr, "unexpected message box: %s\n", qPrintable(text));
  });
  int failures = 0;
  for (const auto& create : omniocr::demo::test::DemoTests()) {
    const std::unique_ptr<QObject> test = create();
    failures += QTest::qExec(test.get(), argc, argv);
  }
  return failures == 0 ? 0 : 1;
}
