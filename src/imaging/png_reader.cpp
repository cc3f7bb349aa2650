#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "imaging/pixel_access.h"
#include "imaging/reader_support.h"
#include "imaging/readers.h"

namespace omniocr {

namespace {

// libpng reports errors through these; the error handler jumps back to the
// decoder's setjmp with the message kept, so nothing reaches stderr.
struct TPngSource {
  const std::uint8_t* Data;
  std::size_t Size;
  std::size_t Pos;
  char Message[256];
};

void PngError(png_structp png, png_const_charp message) {
  auto* source = static_cast<TPngSource*>(png_get_error_ptr(png));
  if (source->Message[0] == 0)
    std::snprintf(source->Message, sizeof source->Message, "corrupt PNG data (%s)", message);
  png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

void PngRead(png_structp png, png_bytep target, png_size_t length) {
  auto* source = static_cast<TPngSource*>(png_get_io_ptr(png));
  if (length > source->Size - source->Pos) {
    std::snprintf(source->Message, sizeof source->Message, "truncated PNG data");
    png_error(png, source->Message);
  }
  std::memcpy(target, source->Data + source->Pos, length);
  source->Pos += length;
}

// How the decoded rows are turned into the image.
enum class TPngLayout { Bilevel, Indexed, Grey, Colour, GreyAlpha, ColourAlpha };

TPngLayout ChooseLayout(png_structp png, png_infop info) {
  const int type = png_get_color_type(png, info);
  const int depth = png_get_bit_depth(png, info);
  const bool transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  if (depth == 16) png_set_strip_16(png);
  if (transparency || (type & PNG_COLOR_MASK_ALPHA)) {
    png_set_expand(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    return (type & PNG_COLOR_MASK_COLOR) || type == PNG_COLOR_TYPE_PALETTE ? TPngLayout::ColourAlpha
                                                                           : TPngLayout::GreyAlpha;
  }
  if (type == PNG_COLOR_TYPE_GRAY && depth == 1) return TPngLayout::Bilevel;
  if (type == PNG_COLOR_TYPE_PALETTE) {
    png_set_packing(png);
    return TPngLayout::Indexed;
  }
  if (type == PNG_COLOR_TYPE_GRAY) {
    png_set_expand_gray_1_2_4_to_8(png);
    return TPngLayout::Grey;
  }
  png_set_bgr(png);
  return TPngLayout::Colour;
}

void StoreRow(const std::uint8_t* row, TPngLayout layout, int width, std::uint8_t* target) {
  switch (layout) {
    case TPngLayout::Bilevel: std::memcpy(target, row, static_cast<std::size_t>((width + 7) / 8)); break;
    case TPngLayout::Indexed:
    case TPngLayout::Grey: std::memcpy(target, row, static_cast<std::size_t>(width)); break;
    case TPngLayout::Colour: std::memcpy(target, row, 3 * static_cast<std::size_t>(width)); break;
    case TPngLayout::GreyAlpha:
      for (int x = 0; x < width; ++x) target[x] = OverWhite(row[4 * x], row[4 * x + 3]);
      break;
    case TPngLayout::ColourAlpha:
      for (int x = 0; x < width; ++x) {
        const std::uint8_t* p = row + 4 * x;
        SetColor24(target, x, MakeColor(OverWhite(p[0], p[3]), OverWhite(p[1], p[3]), OverWhite(p[2], p[3])));
      }
      break;
  }
}

int BitCountFor(TPngLayout layout) {
  switch (layout) {
    case TPngLayout::Bilevel: return 1;
    case TPngLayout::Indexed:
    case TPngLayout::Grey:
    case TPngLayout::GreyAlpha: return 8;
    default: return 24;
  }
}

std::vector<std::uint32_t> PaletteOf(png_structp png, png_infop info) {
  png_colorp colours = nullptr;
  int count = 0;
  std::vector<std::uint32_t> palette;
  if (png_get_PLTE(png, info, &colours, &count) != 0)
    for (int i = 0; i < count; ++i)
      palette.push_back(MakeColor(colours[i].red, colours[i].green, colours[i].blue));
  return palette;
}

// Everything between setjmp and the end of decoding lives in plain storage or
// in objects owned by the caller, so the jump skips no destructor.
bool DecodePng(png_structp png, png_infop info, TPngSource& source, TDibGraphic& image,
               std::vector<std::uint8_t>& buffer, std::vector<png_bytep>& rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, &source, PngRead);
  png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF);
  png_set_chunk_malloc_max(png, 64u << 20);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
  try {
    CheckImageSize(width, height, "PNG");
  } catch (const EImageError& e) {
    std::snprintf(source.Message, sizeof source.Message, "%s", e.what());
    return false;
  }
  const TPngLayout layout = ChooseLayout(png, info);
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const std::size_t rowBytes = png_get_rowbytes(png, info);
  // Deflate expands at most about 1032 to 1: a size the data cannot hold is
  // refused before anything is allocated.
  if (static_cast<double>(rowBytes + 1) * height > 1100.0 * static_cast<double>(source.Size) + 65536.0) {
    std::snprintf(source.Message, sizeof source.Message, "truncated PNG data");
    return false;
  }
  image.SetSize(static_cast<int>(width), static_cast<int>(height), BitCountFor(layout));
  // Interlaced images need every row at once; others go through one row.
  const std::size_t bufferRows = passes > 1 ? height : 1;
  buffer.assign(rowBytes * bufferRows, 0);
  rows.resize(bufferRows);
  for (std::size_t i = 0; i < bufferRows; ++i) rows[i] = buffer.data() + i * rowBytes;
  if (passes > 1) {
    png_read_image(png, rows.data());
    for (png_uint_32 y = 0; y < height; ++y)
      StoreRow(rows[y], layout, static_cast<int>(width), image.ScanLine(static_cast<int>(y)));
  } else {
    for (png_uint_32 y = 0; y < height; ++y) {
      png_read_row(png, rows[0], nullptr);
      StoreRow(rows[0], layout, static_cast<int>(width), image.ScanLine(static_cast<int>(y)));
    }
  }
  if (layout == TPngLayout::Indexed) image.Palette() = PaletteOf(png, info);
  png_uint_32 xRes = 0, yRes = 0;
  int unit = 0;
  if (png_get_pHYs(png, info, &xRes, &yRes, &unit) != 0 && unit == PNG_RESOLUTION_METER) {
    image.XDpi = DpiFromPerMetre(xRes);
    image.YDpi = DpiFromPerMetre(yRes);
  }
  return true;
}

}  // namespace

TDibGraphic ReadPng(const std::uint8_t* data, std::size_t size) {
  TPngSource source{data, size, 0, {}};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, PngError, PngWarning);
  if (png == nullptr) throw EImageError("out of memory for PNG decoding");
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    throw EImageError("out of memory for PNG decoding");
  }
  TDibGraphic image;
  std::vector<std::uint8_t> buffer;
  std::vector<png_bytep> rows;
  bool ok = false;
  try {
    ok = DecodePng(png, info, source, image, buffer, rows);
  } catch (...) {
    png_destroy_read_struct(&png, &info, nullptr);
    throw;
  }
  png_destroy_read_struct(&png, &info, nullptr);
  if (!ok) throw EImageError(source.Message[0] ? source.Message : "corrupt PNG data");
  NormaliseIndexed(image);
  return image;
}

}  // namespace omniocr
