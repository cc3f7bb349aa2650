#include "demo/startup_options.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "demo/demo_application.h"
#include "demo/image_scroll_box.h"
#include "demo/message_box.h"
#include "demo/unit_demo_icrocr.h"
#include "demo/unit_parametri_ocr.h"

namespace omniocr::demo {

namespace {

constexpr int kSettleMilliseconds = 700;

std::optional<TImageRect> ParseRect(const QString& text) {
  const QStringList parts = text.split(QLatin1Char(','));
  if (parts.size() != 4) return std::nullopt;
  int values[4];
  for (int i = 0; i < 4; ++i) {
    bool ok = false;
    values[i] = parts[i].trimmed().toInt(&ok);
    if (!ok) return std::nullopt;
  }
  return TImageRect{values[0], values[1], values[2], values[3]};
}

QCommandLineOption Hidden(const QString& name, const QString& description, const QString& value = QString()) {
  QCommandLineOption option(name, description, value);
  option.setFlags(QCommandLineOption::HiddenFromHelp);
  return option;
}

void SaveScreenshot(const QString& fileName, QWidget* fallback) {
  QPixmap shot;
  if (QScreen* screen = QGuiApplication::primaryScreen()) shot = screen->grabWindow(0);
  if (shot.isNull()) shot = fallback->grab();
  if (!shot.save(fileName)) std::fprintf(stderr, "cannot write the screenshot %s\n", qPrintable(fileName));
}

}  // namespace

TStartupOptions ParseStartupOptions(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Omnifont OCR desktop demonstration."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("image"), QStringLiteral("A page to open at start."),
                               "[image]");
  const QCommandLineOption select =
      Hidden(QStringLiteral("select"), QStringLiteral("Selects left,top,right,bottom in image pixels."),
             QStringLiteral("rect"));
  const QCommandLineOption ocr = Hidden(QStringLiteral("ocr"), QStringLiteral("Runs the OCR command."));
  const QCommandLineOption dialogShot = Hidden(
      QStringLiteral("dialog-screenshot"), QStringLiteral("Screenshot while the dialog is open."), "file");
  const QCommandLineOption inspect = Hidden(
      QStringLiteral("inspect"), QStringLiteral("Clicks x,y of the enlarged zone after the OCR."), "point");
  const QCommandLineOption screenshot =
      Hidden(QStringLiteral("screenshot"), QStringLiteral("Screenshot at the end, then quit."), "file");
  parser.addOptions({select, ocr, dialogShot, inspect, screenshot});
  parser.process(arguments);

  TStartupOptions options;
  if (!parser.positionalArguments().isEmpty()) options.PageFile = parser.positionalArguments().first();
  if (parser.isSet(select)) {
    options.Selection = ParseRect(parser.value(select));
    if (!options.Selection) {
      std::fprintf(stderr, "--select wants left,top,right,bottom\n");
      parser.showHelp(2);
    }
  }
  if (parser.isSet(inspect)) {
    const QStringList xy = parser.value(inspect).split(QLatin1Char(','));
    bool okX = false;
    bool okY = false;
    if (xy.size() == 2) options.Inspect = QPoint(xy[0].toInt(&okX), xy[1].toInt(&okY));
    if (!okX || !okY) {
      std::fprintf(stderr, "--inspect wants x,y\n");
      parser.showHelp(2);
    }
  }
  options.RunOCR = parser.isSet(ocr);
  options.DialogScreenshot = parser.value(dialogShot);
  options.Screenshot = parser.value(screenshot);
  return options;
}

void RunStartupOptions(TDemoApplication& windows, const TStartupOptions& options) {
  QTimer::singleShot(0, windows.Form1.get(), [&windows, options] {
    TForm1& form = *windows.Form1;
    if (!options.PageFile.isEmpty()) RunCommand(&form, [&] { form.OpenPicture(options.PageFile); });
    if (options.Selection) form.ImageScrollBox1->SelectImageRect(*options.Selection);
    if (options.RunOCR) {
      TOCRDialog* dialog = windows.OCRDialog.get();
      QTimer::singleShot(kSettleMilliseconds, dialog, [dialog, shot = options.DialogScreenshot] {
        if (!dialog->isVisible()) return;
        if (!shot.isEmpty()) SaveScreenshot(shot, dialog);
        dialog->accept();
      });
      form.ActionOCR->trigger();
    }
    if (options.Inspect)
      QTimer::singleShot(kSettleMilliseconds / 2, &form, [&form, point = *options.Inspect] {
        RunCommand(&form, [&] {
          form.ImageScrollBox2ImageMouseDown(Qt::LeftButton, Qt::NoModifier, point.x(), point.y());
        });
      });
    if (!options.Screenshot.isEmpty())
      QTimer::singleShot(kSettleMilliseconds, &form, [&form, shot = options.Screenshot] {
        SaveScreenshot(shot, &form);
        QCoreApplication::quit();
      });
  });
}

}  // namespace omniocr::demo
