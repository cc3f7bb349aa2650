#include "imaging/image_io.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>

#include "imaging/readers.h"
#include "imaging/unsupported_formats.h"

namespace omniocr {

namespace {

constexpr std::size_t kMaxFileBytes = std::size_t{1} << 30;

bool StartsWith(const std::uint8_t* data, std::size_t size, const char* magic, std::size_t length) {
  return size >= length && std::memcmp(data, magic, length) == 0;
}

bool IsPcxHeader(const std::uint8_t* d, std::size_t size) {
  if (size < 128 || d[0] != 0x0A || d[1] > 5 || d[1] == 1 || d[2] > 1) return false;
  return d[3] == 1 || d[3] == 2 || d[3] == 4 || d[3] == 8;
}

// An icon directory has no magic of its own: accept it when the header and
// its first entry are plausible.
bool IsIconHeader(const std::uint8_t* d, std::size_t size) {
  if (size < 22 || d[0] != 0 || d[1] != 0 || (d[2] != 1 && d[2] != 2) || d[3] != 0) return false;
  const unsigned count = d[4] | (d[5] << 8);
  return count > 0 && (d[9] == 0 || d[9] == 0xFF);
}

bool IsPnmHeader(const std::uint8_t* d, std::size_t size) {
  return size >= 3 && d[0] == 'P' && d[1] >= '1' && d[1] <= '6' &&
         (d[2] == ' ' || d[2] == '\t' || d[2] == '\n' || d[2] == '\r' || d[2] == '#');
}

// How far into a file the format is looked for.
constexpr std::size_t kHeadBytes = 1024;
constexpr std::size_t kReadBufferBytes = 65536;

// "%PDF-" may follow some bytes of junk, which PDF readers accept. Only the
// places of a '%' are compared.
bool IsPdfHeader(const std::uint8_t* d, std::size_t size) {
  const std::size_t window = std::min(size, kHeadBytes);
  if (window < 5) return false;
  const std::uint8_t* const last = d + window - 5;  // the last place "%PDF-" fits
  for (const std::uint8_t* p = d; p <= last; ++p) {
    p = static_cast<const std::uint8_t*>(std::memchr(p, '%', static_cast<std::size_t>(last - p) + 1));
    if (p == nullptr) return false;
    if (std::memcmp(p, "%PDF-", 5) == 0) return true;
  }
  return false;
}

void CheckSingleImage(int imageNumber, TImageFormat format) {
  if (imageNumber != 1)
    throw EImageError("image " + std::to_string(imageNumber) + " requested, but a " +
                      ImageFormatName(format) + " file holds one image");
}

struct TFileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// The rest of an open file from where it stands.
std::vector<std::uint8_t> ReadRest(std::FILE* file) {
  std::vector<std::uint8_t> bytes;
  // Room for the whole file at once: growing by doubling would copy it and
  // hold up to twice its size.
  const long at = std::ftell(file);
  if (at >= 0 && std::fseek(file, 0, SEEK_END) == 0) {
    const long end = std::ftell(file);
    if (end > at && static_cast<std::size_t>(end - at) <= kMaxFileBytes)
      bytes.reserve(static_cast<std::size_t>(end - at));
    std::fseek(file, at, SEEK_SET);
  }
  std::uint8_t chunk[65536];
  for (;;) {
    const std::size_t got = std::fread(chunk, 1, sizeof chunk, file);
    bytes.insert(bytes.end(), chunk, chunk + got);
    if (bytes.size() > kMaxFileBytes) throw EImageError("file larger than 1 GiB");
    if (got < sizeof chunk) break;
  }
  if (std::ferror(file)) throw EImageError(std::strerror(errno));
  return bytes;
}

using TFilePtr = std::unique_ptr<std::FILE, TFileCloser>;

TFilePtr OpenForReading(const std::string& path) {
  TFilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) throw EImageError(std::strerror(errno));
  return file;
}

// A raw PNM page of a regular file goes from the file into the image, with no
// copy of the whole file in between. Empty for every other file, which is then
// read whole from its start.
std::optional<TDibGraphic> ReadPnmDirectly(std::FILE* file) {
  struct stat info {};
  if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  const auto fileSize = static_cast<std::uint64_t>(info.st_size);
  if (fileSize > kMaxFileBytes) return std::nullopt;
  // The head is read past the stream, which stays at the file's start
  // unread: a raw grey page then goes from the file into the image at once.
  std::uint8_t head[kHeadBytes];
  std::size_t size = 0;
  while (size < sizeof head) {
    const ssize_t got = pread(fileno(file), head + size, sizeof head - size, static_cast<off_t>(size));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw EImageError(std::strerror(errno));
    if (got == 0) break;
    size += static_cast<std::size_t>(got);
  }
  std::optional<TDibGraphic> image;
  if (DetectImageFormat(head, size) == TImageFormat::Pnm) image = ReadRawPnmFile(head, size, fileSize, file);
  if (!image && std::fseek(file, 0, SEEK_SET) != 0) throw EImageError(std::strerror(errno));
  return image;
}

}  // namespace

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
  return ReadRest(OpenForReading(path).get());
}

TImageFormat DetectImageFormat(const std::uint8_t* data, std::size_t size) {
  if (StartsWith(data, size, "II*\0", 4) || StartsWith(data, size, "MM\0*", 4) ||
      StartsWith(data, size, "II+\0", 4) || StartsWith(data, size, "MM\0+", 4))
    return TImageFormat::Tiff;
  if (StartsWith(data, size, "\xFF\xD8\xFF", 3)) return TImageFormat::Jpeg;
  if (StartsWith(data, size, "\x89PNG\r\n\x1A\n", 8)) return TImageFormat::Png;
  if (StartsWith(data, size, "BM", 2)) return TImageFormat::Bmp;
  if (StartsWith(data, size, "GIF87a", 6) || StartsWith(data, size, "GIF89a", 6)) return TImageFormat::Gif;
  if (StartsWith(data, size, "RIFF", 4) && size >= 12 && std::memcmp(data + 8, "WEBP", 4) == 0)
    return TImageFormat::Webp;
  if (IsPdfHeader(data, size)) return TImageFormat::Pdf;
  if (IsPnmHeader(data, size)) return TImageFormat::Pnm;
  if (IsPcxHeader(data, size)) return TImageFormat::Pcx;
  if (IsIconHeader(data, size)) return TImageFormat::Icon;
  return TImageFormat::Unknown;
}

const char* ImageFormatName(TImageFormat format) {
  switch (format) {
    case TImageFormat::Tiff: return "TIFF";
    case TImageFormat::Jpeg: return "JPEG";
    case TImageFormat::Png: return "PNG";
    case TImageFormat::Bmp: return "BMP";
    case TImageFormat::Pcx: return "PCX";
    case TImageFormat::Icon: return "icon";
    case TImageFormat::Pnm: return "PNM";
    case TImageFormat::Gif: return "GIF";
    case TImageFormat::Webp: return "WebP";
    case TImageFormat::Pdf: return "PDF";
    case TImageFormat::Unknown: break;
  }
  return "unknown";
}

TDibGraphic ReadImageMemory(const std::uint8_t* data, std::size_t size, int imageNumber, int renderDpi) {
  if (size == 0) throw EImageError("empty file");
  const TImageFormat format = DetectImageFormat(data, size);
  if (format == TImageFormat::Unknown) {
    const std::string known = DescribeUnsupportedFormat(data, size);
    throw EImageError(known.empty() ? "unknown image format" : known);
  }
  if (imageNumber < 1) throw EImageError("image numbers start at 1");
  if (format == TImageFormat::Tiff) return ReadTiff(data, size, imageNumber);
  if (format == TImageFormat::Pdf) {
    if (renderDpi < 1) throw EImageError("a resolution of at least 1 dpi is needed to render PDF pages");
    return ReadPdf(data, size, imageNumber, renderDpi);
  }
  CheckSingleImage(imageNumber, format);
  switch (format) {
    case TImageFormat::Jpeg: return ReadJpeg(data, size);
    case TImageFormat::Png: return ReadPng(data, size);
    case TImageFormat::Bmp: return ReadBmp(data, size);
    case TImageFormat::Pcx: return ReadPcx(data, size);
    case TImageFormat::Icon: return ReadIcon(data, size);
    case TImageFormat::Gif: return ReadGif(data, size);
    case TImageFormat::Webp: return ReadWebp(data, size);
    default: return ReadPnm(data, size);
  }
}

TDibGraphic ReadImageFile(const std::string& path, int imageNumber, int renderDpi) {
  // Rows are read a few at a time; a larger buffer takes fewer calls. The C
  // library takes the size only with a buffer of ours, which outlives the file.
  const auto buffer = std::make_unique_for_overwrite<char[]>(kReadBufferBytes);
  const TFilePtr file = OpenForReading(path);
  std::setvbuf(file.get(), buffer.get(), _IOFBF, kReadBufferBytes);
  if (imageNumber == 1)
    if (std::optional<TDibGraphic> image = ReadPnmDirectly(file.get())) return std::move(*image);
  const std::vector<std::uint8_t> bytes = ReadRest(file.get());
  return ReadImageMemory(bytes.data(), bytes.size(), imageNumber, renderDpi);
}

int CountImages(const std::uint8_t* data, std::size_t size) {
  switch (DetectImageFormat(data, size)) {
    case TImageFormat::Tiff: return CountTiffPages(data, size);
    case TImageFormat::Pdf: return CountPdfPages(data, size);
    default: return 1;
  }
}

int CountFileImages(const std::string& path) {
  std::uint8_t head[kHeadBytes];
  std::size_t got = 0;
  {
    std::unique_ptr<std::FILE, TFileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) throw EImageError(std::strerror(errno));
    got = std::fread(head, 1, sizeof head, file.get());
  }
  const TImageFormat format = DetectImageFormat(head, got);
  if (format != TImageFormat::Tiff && format != TImageFormat::Pdf) return 1;
  const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
  return CountImages(bytes.data(), bytes.size());
}

}  // namespace omniocr
