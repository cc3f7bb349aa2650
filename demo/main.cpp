// omniocr-demo: the desktop demonstration program of the omniocr engine.

#include <QApplication>

#include "demo/demo_application.h"
#include "demo/startup_options.h"
#include "demo/unit_demo_icrocr.h"

int main(int argc, char** argv) {
  using namespace omniocr::demo;
  QApplication application(argc, argv);
  SetApplicationTitle(application);
  const TStartupOptions options = ParseStartupOptions(QApplication::arguments());

  TDemoApplication windows;
  // Closing the main window ends the program, even while the result window is open.
  QApplication::setQuitOnLastWindowClosed(false);
  QObject::connect(windows.Form1.get(), &TForm1::Closed, &application, &QCoreApplication::quit);
  windows.Form1->show();
  RunStartupOptions(windows, options);
  return QApplication::exec();
}
