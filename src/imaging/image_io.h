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

enum class TImageFormat { Unknown, Tiff, Jpeg, Png, Bmp, Pcx, Icon, Pnm, Gif, Webp, Pdf };

// The resolution PDF pages are rendered at unless the caller chooses one.
constexpr int kDefaultRenderDpi = 300;

TImageFormat DetectImageFormat(const std::uint8_t* data, std::size_t size);
const char* ImageFormatName(TImageFormat format);

// Reads image number `imageNumber` (1 = the first; the page of a multi-page
// TIFF or of a PDF) from a file or from bytes in memory. PDF pages are
// rendered in grey at `renderDpi` dots per inch, which the image carries as
// its resolution. A file of a format that is not read raises an error that
// names the format when it is known ("a JPEG 2000 file: ...").
TDibGraphic ReadImageFile(const std::string& path, int imageNumber = 1, int renderDpi = kDefaultRenderDpi);
TDibGraphic ReadImageMemory(const std::uint8_t* data, std::size_t size, int imageNumber = 1,
                            int renderDpi = kDefaultRenderDpi);

// The whole file, for callers that read several of its images.
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);

// The number of images (pages) a file holds; 1 for single-image formats
// (the first image of an animated GIF is read).
int CountImages(const std::uint8_t* data, std::size_t size);
// The same for a file, which is read whole only when its format holds
// several images.
int CountFileImages(const std::string& path);

// Writes an image as PNG.
void WritePngFile(const TDibGraphic& image, const std::string& path);
std::vector<std::uint8_t> WritePngMemory(const TDibGraphic& image);

// Writes an image as JPEG of the given quality (1 to 100): grey images in
// one component, others in colour.
std::vector<std::uint8_t> WriteJpegMemory(const TDibGraphic& image, int quality);

}  // namespace omniocr
