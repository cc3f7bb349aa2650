#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <new>

#include "imaging/image_io.h"
#include "imaging/pixel_access.h"

namespace omniocr {

namespace {

struct TPngSink {
  std::vector<std::uint8_t>* Bytes;
  char Message[256];
};

void SinkError(png_structp png, png_const_charp message) {
  auto* sink = static_cast<TPngSink*>(png_get_error_ptr(png));
  std::snprintf(sink->Message, sizeof sink->Message, "%s", message);
  png_longjmp(png, 1);
}
void SinkWarning(png_structp, png_const_charp) {}
void SinkWrite(png_structp png, png_bytep data, png_size_t length) {
  auto* sink = static_cast<TPngSink*>(png_get_io_ptr(png));
  try {
    sink->Bytes->insert(sink->Bytes->end(), data, data + length);
  } catch (const std::bad_alloc&) {
    png_error(png, "out of memory");
  }
}
void SinkFlush(png_structp) {}

// Grey images (1 bit black/white, 8-bit grey ramp) are written as grey PNGs,
// other indexed ones with their palette, 24-bit ones as RGB.
int ColourTypeOf(const TDibGraphic& image) {
  if (image.BitCount() == 24) return PNG_COLOR_TYPE_RGB;
  if ((image.BitCount() == 1 && IsBlackWhite(image.Palette())) ||
      (image.BitCount() == 8 && IsGreyRamp(image.Palette())))
    return PNG_COLOR_TYPE_GRAY;
  return PNG_COLOR_TYPE_PALETTE;
}

bool EncodePng(png_structp png, png_infop info, TPngSink& sink, const TDibGraphic& image,
               std::vector<png_color>& palette) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, &sink, SinkWrite, SinkFlush);
  const int type = ColourTypeOf(image);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.Width()), static_cast<png_uint_32>(image.Height()),
               image.BitCount() == 24 ? 8 : image.BitCount(), type, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (type == PNG_COLOR_TYPE_PALETTE) {
    for (std::uint32_t entry : image.Palette())
      palette.push_back(png_color{static_cast<png_byte>(RedOf(entry)), static_cast<png_byte>(GreenOf(entry)),
                                  static_cast<png_byte>(BlueOf(entry))});
    png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  }
  if (image.XDpi > 0 && image.YDpi > 0)
    png_set_pHYs(png, info, static_cast<png_uint_32>(image.XDpi / 0.0254 + 0.5),
                 static_cast<png_uint_32>(image.YDpi / 0.0254 + 0.5), PNG_RESOLUTION_METER);
  png_write_info(png, info);
  if (type == PNG_COLOR_TYPE_RGB) png_set_bgr(png);
  for (int y = 0; y < image.Height(); ++y) png_write_row(png, image.ScanLine(y));
  png_write_end(png, info);
  return true;
}

}  // namespace

std::vector<std::uint8_t> WritePngMemory(const TDibGraphic& image) {
  if (image.Empty()) throw EImageError("cannot write an empty image");
  std::vector<std::uint8_t> bytes;
  TPngSink sink{&bytes, {}};
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, SinkError, SinkWarning);
  if (png == nullptr) throw EImageError("out of memory for PNG encoding");
  png_infop info = png_create_info_struct(png);
  std::vector<png_color> palette;
  bool ok = false;
  if (info != nullptr) {
    try {
      ok = EncodePng(png, info, sink, image, palette);
    } catch (...) {
      png_destroy_write_struct(&png, &info);
      throw;
    }
  }
  png_destroy_write_struct(&png, &info);
  if (!ok) throw EImageError(std::string("PNG encoding failed: ") + sink.Message);
  return bytes;
}

void WritePngFile(const TDibGraphic& image, const std::string& path) {
  const std::vector<std::uint8_t> bytes = WritePngMemory(image);
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
  if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
    throw EImageError("cannot write " + path);
  if (std::fclose(file.release()) != 0) throw EImageError("cannot write " + path);
}

}  // namespace omniocr
