#pragma once

// The tool bar's icons, drawn at run time so that the program needs no
// image files of its own.

#include <QIcon>

namespace omniocr::demo {

QIcon OpenIcon();
QIcon OcrIcon();
QIcon ZoomInIcon();
QIcon ZoomOutIcon();
QIcon FitWidthIcon();
QIcon FitHeightIcon();
QIcon FitPageIcon();

}  // namespace omniocr::demo
