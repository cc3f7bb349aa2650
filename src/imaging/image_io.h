#pragma once

// Reading and writing image files. Readers recognise the format from the
// file's bytes, never from its name, and hand back a TDibGraphic in one of
// the normalised forms (1 bit black/white, 8-bit grey ramp, 24-bit colour).

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "imaging/dib_graphic.h"
#include "imaging/image_error.h"

namespace omniocr {

// EImageError (a file that cannot be read, with the reason) and
// kMaxImagePixels come from imaging/image_error.h.

enum class TImageFormat { Unknown, Tiff, Jpeg, Png, Bmp, Pcx, Icon, Pnm };

TImageFormat DetectImageFormat(const std::uint8_t* data, std::size_t size);
const char* ImageFormatName(TImageFormat format);

// Reads image number `imageNumber` (1 = the first; the page of a multi-page
// TIFF) from a file or from bytes in memory.
TDibGraphic ReadImageFile(const std::string& path, int imageNumber = 1);
TDibGraphic ReadImageMemory(const std::uint8_t* data, std::size_t size, int imageNumber = 1);

// The number of images (pages) a file holds; 1 for single-image formats.
int CountImages(const std::uint8_t* data, std::size_t size);

// Writes an image as PNG.
void WritePngFile(const TDibGraphic& image, const std::string& path);
std::vector<std::uint8_t> WritePngMemory(const TDibGraphic& image);

}  // namespace omniocr
