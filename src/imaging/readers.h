#pragma once

// One reader per file format, each over the whole file in memory (raw PNM
// also straight from an open file). They raise EImageError with the reason
// when the data cannot be read.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "imaging/dib_graphic.h"

namespace omniocr {

TDibGraphic ReadTiff(const std::uint8_t* data, std::size_t size, int imageNumber);
int CountTiffPages(const std::uint8_t* data, std::size_t size);
TDibGraphic ReadJpeg(const std::uint8_t* data, std::size_t size);
TDibGraphic ReadPng(const std::uint8_t* data, std::size_t size);
TDibGraphic ReadBmp(const std::uint8_t* data, std::size_t size);
TDibGraphic ReadPcx(const std::uint8_t* data, std::size_t size);
TDibGraphic ReadIcon(const std::uint8_t* data, std::size_t size);
TDibGraphic ReadPnm(const std::uint8_t* data, std::size_t size);
// A raw PNM file read row by row into the image (raw grey rows straight from
// the file, many to a call), without the whole file in memory: `head` holds
// the file's first bytes and `fileSize` its size; `file` has not been read
// from. Empty when the header does not lie within `head`, is faulty, or the
// file is too short for its rows; ReadPnm over the whole file then tells why.
std::optional<TDibGraphic> ReadRawPnmFile(const std::uint8_t* head, std::size_t headSize,
                                          std::uint64_t fileSize, std::FILE* file);
TDibGraphic ReadGif(const std::uint8_t* data, std::size_t size);
TDibGraphic ReadWebp(const std::uint8_t* data, std::size_t size);
TDibGraphic ReadPdf(const std::uint8_t* data, std::size_t size, int pageNumber, int dpi);
int CountPdfPages(const std::uint8_t* data, std::size_t size);

// A device-independent bitmap without file header, as stored in BMP files
// (after their 14-byte header) and in icons. `pixelOffset` is where the rows
// start, counted from the information header; 0 = right after the colour
// table. For icons the header's height counts the colour image and its
// transparency mask; `iconMask` applies the mask (masked pixels turn white).
TDibGraphic DecodeDib(const std::uint8_t* data, std::size_t size, std::size_t pixelOffset, bool iconMask);

}  // namespace omniocr
