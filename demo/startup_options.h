#pragma once

// What the program does at start besides showing its window: open a page
// given on the command line and, with hidden options for checking the
// program under a virtual display, select a zone, run the OCR command with
// the dialog accepted, and save screenshots of the screen.

#include <QPoint>
#include <QString>
#include <QStringList>
#include <optional>

#include "demo/viewer_geometry.h"

namespace omniocr::demo {

class TDemoApplication;

struct TStartupOptions {
  QString PageFile;
  std::optional<TImageRect> Selection;  // image pixels
  bool RunOCR = false;
  QString DialogScreenshot;       // taken while the parameters dialog is open
  std::optional<QPoint> Inspect;  // a click on the lower viewer, in its image pixels
  QString Screenshot;             // taken at the end; the program then quits
};

// Parses the command line; on a mistake prints the usage and exits.
TStartupOptions ParseStartupOptions(const QStringList& arguments);

// Carries the options out once the event loop runs.
void RunStartupOptions(TDemoApplication& windows, const TStartupOptions& options);

}  // namespace omniocr::demo
