#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>

#include "imaging/pixel_access.h"
#include "imaging/reader_support.h"
#include "imaging/readers.h"

namespace omniocr {

namespace {

// The file in memory, read through libtiff's client procedures, and the
// first error libtiff reports for it.
struct TTiffSource {
  const std::uint8_t* Data;
  std::size_t Size;
  toff_t Pos = 0;
  std::string Error;
};

tsize_t TiffRead(thandle_t handle, tdata_t target, tsize_t length) {
  auto* s = static_cast<TTiffSource*>(handle);
  if (s->Pos >= s->Size || length <= 0) return 0;
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(length), s->Size - s->Pos);
  std::memcpy(target, s->Data + s->Pos, n);
  s->Pos += n;
  return static_cast<tsize_t>(n);
}
tsize_t TiffWrite(thandle_t, tdata_t, tsize_t) { return 0; }
toff_t TiffSeek(thandle_t handle, toff_t offset, int whence) {
  auto* s = static_cast<TTiffSource*>(handle);
  const toff_t base = whence == SEEK_CUR ? s->Pos : whence == SEEK_END ? s->Size : 0;
  s->Pos = base + offset;
  return s->Pos;
}
int TiffClose(thandle_t) { return 0; }
toff_t TiffSize(thandle_t handle) { return static_cast<TTiffSource*>(handle)->Size; }
int TiffMap(thandle_t handle, tdata_t* base, toff_t* size) {
  auto* s = static_cast<TTiffSource*>(handle);
  *base = const_cast<std::uint8_t*>(s->Data);
  *size = s->Size;
  return 1;
}
void TiffUnmap(thandle_t, tdata_t, toff_t) {}

int KeepError(TIFF*, void* user, const char* module, const char* format, va_list args) {
  auto* s = static_cast<TTiffSource*>(user);
  if (s->Error.empty()) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    s->Error = module ? std::string(module) + ": " + text : text;
  }
  return 1;
}
int DropWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

// Messages libtiff sends through its process-wide handlers are silenced too.
void SilenceGlobalHandlers() {
  static std::once_flag once;
  std::call_once(once, [] {
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
  });
}

struct TTiffCloser {
  void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TTiffPtr = std::unique_ptr<TIFF, TTiffCloser>;

TTiffPtr OpenTiff(TTiffSource& source) {
  SilenceGlobalHandlers();
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  TIFFOpenOptionsSetErrorHandlerExtR(options, KeepError, &source);
  TIFFOpenOptionsSetWarningHandlerExtR(options, DropWarning, &source);
  TIFFOpenOptionsSetMaxSingleMemAlloc(options, tmsize_t{1} << 30);
  TIFF* tiff = TIFFClientOpenExt("memory", "r", &source, TiffRead, TiffWrite, TiffSeek, TiffClose, TiffSize,
                                 TiffMap, TiffUnmap, options);
  TIFFOpenOptionsFree(options);
  if (tiff == nullptr)
    throw EImageError("corrupt TIFF data" + (source.Error.empty() ? "" : " (" + source.Error + ")"));
  return TTiffPtr(tiff);
}

[[noreturn]] void Fail(const TTiffSource& source, const char* what) {
  throw EImageError(std::string(what) + (source.Error.empty() ? "" : " (" + source.Error + ")"));
}

struct TTiffPage {
  std::uint32_t Width = 0, Height = 0;
  std::uint16_t Bits = 1, Samples = 1, Photometric = PHOTOMETRIC_MINISWHITE, Planar = PLANARCONFIG_CONTIG;
  bool Tiled = false;
};

TTiffPage PageInfo(TIFF* tiff) {
  TTiffPage p;
  TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &p.Width);
  TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &p.Height);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &p.Bits);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &p.Samples);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &p.Planar);
  if (!TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &p.Photometric))
    p.Photometric = p.Samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISWHITE;
  p.Tiled = TIFFIsTiled(tiff) != 0;
  return p;
}

// Bilevel and grey pages (either photometric), palette pages of up to 8
// bits and 8-bit RGB, stored in strips, are read line by line as they are;
// everything else goes through libtiff's RGBA conversion.
bool ReadsByScanline(const TTiffPage& p) {
  if (p.Tiled || p.Planar != PLANARCONFIG_CONTIG) return false;
  const bool grey = (p.Photometric == PHOTOMETRIC_MINISWHITE || p.Photometric == PHOTOMETRIC_MINISBLACK) &&
                    p.Samples == 1 && (p.Bits == 1 || p.Bits == 8);
  const bool palette =
      p.Photometric == PHOTOMETRIC_PALETTE && p.Samples == 1 && (p.Bits == 1 || p.Bits == 4 || p.Bits == 8);
  const bool rgb = p.Photometric == PHOTOMETRIC_RGB && p.Samples == 3 && p.Bits == 8;
  return grey || palette || rgb;
}

std::vector<std::uint32_t> ColourMap(TIFF* tiff, const TTiffPage& p, const TTiffSource& source) {
  std::uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
  if (!TIFFGetField(tiff, TIFFTAG_COLORMAP, &red, &green, &blue))
    Fail(source, "TIFF palette image without colour map");
  std::vector<std::uint32_t> palette;
  for (int i = 0; i < (1 << p.Bits); ++i)
    palette.push_back(MakeColor(red[i] >> 8, green[i] >> 8, blue[i] >> 8));
  return palette;
}

TDibGraphic ReadScanlines(TIFF* tiff, const TTiffPage& p, TTiffSource& source) {
  TDibGraphic image;
  const bool rgb = p.Photometric == PHOTOMETRIC_RGB;
  image.SetSize(static_cast<int>(p.Width), static_cast<int>(p.Height), rgb ? 24 : p.Bits);
  const tmsize_t lineBytes = TIFFScanlineSize(tiff);
  const std::size_t expected = (static_cast<std::size_t>(p.Width) * p.Bits * p.Samples + 7) / 8;
  if (lineBytes <= 0 || static_cast<std::size_t>(lineBytes) < expected) Fail(source, "corrupt TIFF data");
  std::vector<std::uint8_t> line(static_cast<std::size_t>(lineBytes));
  const bool invert = p.Photometric == PHOTOMETRIC_MINISWHITE;
  for (std::uint32_t y = 0; y < p.Height; ++y) {
    if (TIFFReadScanline(tiff, line.data(), y, 0) < 0) Fail(source, "corrupt TIFF data");
    std::uint8_t* target = image.ScanLine(static_cast<int>(y));
    if (rgb) {
      for (std::uint32_t x = 0; x < p.Width; ++x)
        SetColor24(target, static_cast<int>(x), MakeColor(line[3 * x], line[3 * x + 1], line[3 * x + 2]));
      continue;
    }
    std::memcpy(target, line.data(), expected);
    if (invert)
      for (std::size_t i = 0; i < expected; ++i) target[i] = static_cast<std::uint8_t>(~target[i]);
  }
  if (p.Photometric == PHOTOMETRIC_PALETTE) image.Palette() = ColourMap(tiff, p, source);
  return image;
}

TDibGraphic ReadThroughRgba(TIFF* tiff, const TTiffPage& p, TTiffSource& source) {
  char reason[1024] = "";
  if (!TIFFRGBAImageOK(tiff, reason))
    throw EImageError(std::string("TIFF page not supported (") + reason + ")");
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(p.Width) * p.Height);
  if (!TIFFReadRGBAImageOriented(tiff, p.Width, p.Height, pixels.data(), ORIENTATION_TOPLEFT, 0))
    Fail(source, "corrupt TIFF data");
  TDibGraphic image;
  image.SetSize(static_cast<int>(p.Width), static_cast<int>(p.Height), 24);
  for (std::uint32_t y = 0; y < p.Height; ++y) {
    std::uint8_t* target = image.ScanLine(static_cast<int>(y));
    for (std::uint32_t x = 0; x < p.Width; ++x) {
      const std::uint32_t v = pixels[static_cast<std::size_t>(y) * p.Width + x];
      const unsigned a = TIFFGetA(v);
      SetColor24(target, static_cast<int>(x),
                 MakeColor(OverWhite(TIFFGetR(v), a), OverWhite(TIFFGetG(v), a), OverWhite(TIFFGetB(v), a)));
    }
  }
  return image;
}

// The best ratio of decoded to stored bytes of a compression scheme: none
// stores every byte, PackBits codes up to 128 bytes in two, deflate about
// 1032 in one; fax codes, LZW and the others are given a wide bound.
std::uint64_t MaxExpansion(std::uint16_t compression) {
  switch (compression) {
    case COMPRESSION_NONE: return 1;
    case COMPRESSION_PACKBITS: return 64;
    case COMPRESSION_DEFLATE:
    case COMPRESSION_ADOBE_DEFLATE: return 1100;
    default: return std::uint64_t{1} << 16;
  }
}

// Every strip or tile of the page lies inside the file, and together they
// can hold the page: checked before anything is allocated for it.
void CheckStoredLayout(TIFF* tiff, const TTiffPage& p, std::size_t fileSize) {
  const std::uint32_t count = p.Tiled ? TIFFNumberOfTiles(tiff) : TIFFNumberOfStrips(tiff);
  // Each strip or tile needs its own offset stored in the file.
  if (count == 0 || count > fileSize) throw EImageError("truncated TIFF data");
  std::uint64_t stored = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    int error = 0;
    const std::uint64_t offset = TIFFGetStrileOffsetWithErr(tiff, i, &error);
    const std::uint64_t bytes = TIFFGetStrileByteCountWithErr(tiff, i, &error);
    if (error) throw EImageError("corrupt TIFF data (strip or tile table)");
    if (bytes > 0 && (offset >= fileSize || bytes > fileSize - offset))
      throw EImageError("truncated TIFF data");
    stored += bytes;
  }
  std::uint16_t compression = COMPRESSION_NONE;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
  const std::uint64_t rowBits = static_cast<std::uint64_t>(p.Width) * p.Bits * p.Samples;
  CheckExpansion(rowBits / 8 * p.Height, stored, MaxExpansion(compression), "TIFF");
}

void ReadResolution(TIFF* tiff, TDibGraphic& image) {
  float x = 0, y = 0;
  std::uint16_t unit = RESUNIT_INCH;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
  if (!TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &x) || !TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &y)) return;
  if (unit == RESUNIT_CENTIMETER) x *= 2.54f, y *= 2.54f;
  if (unit == RESUNIT_NONE || !(x > 0 && x < 1e6f) || !(y > 0 && y < 1e6f)) return;
  image.XDpi = static_cast<int>(x + 0.5f);
  image.YDpi = static_cast<int>(y + 0.5f);
}

}  // namespace

int CountTiffPages(const std::uint8_t* data, std::size_t size) {
  TTiffSource source{data, size, 0, {}};
  TTiffPtr tiff = OpenTiff(source);
  return static_cast<int>(TIFFNumberOfDirectories(tiff.get()));
}

TDibGraphic ReadTiff(const std::uint8_t* data, std::size_t size, int imageNumber) {
  TTiffSource source{data, size, 0, {}};
  TTiffPtr tiff = OpenTiff(source);
  if (imageNumber > 1 && !TIFFSetDirectory(tiff.get(), static_cast<tdir_t>(imageNumber - 1)))
    throw EImageError("no image " + std::to_string(imageNumber) + " in the file (it holds " +
                      std::to_string(TIFFNumberOfDirectories(tiff.get())) + ")");
  const TTiffPage page = PageInfo(tiff.get());
  CheckImageSize(page.Width, page.Height, "TIFF");
  CheckStoredLayout(tiff.get(), page, size);
  TDibGraphic image = ReadsByScanline(page) ? ReadScanlines(tiff.get(), page, source)
                                            : ReadThroughRgba(tiff.get(), page, source);
  ReadResolution(tiff.get(), image);
  NormaliseIndexed(image);
  return image;
}

}  // namespace omniocr
