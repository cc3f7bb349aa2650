#include "imaging/unsupported_formats.h"

#include <cstring>
#include <string_view>

namespace omniocr {

namespace {

struct TKnownFormat {
  std::size_t Offset;
  std::string_view Magic;
  const char* Description;
};

using namespace std::string_view_literals;

constexpr TKnownFormat kKnownFormats[] = {
    {0, "\0\0\0\x0CjP  \r\n\x87\n"sv, "a JPEG 2000 file: convert it to PNG or TIFF first"},
    {0, "\xFF\x4F\xFF\x51"sv, "a JPEG 2000 codestream: convert it to PNG or TIFF first"},
    {0, "\0\0\0\x0CJXL \r\n\x87\n"sv, "a JPEG XL file: convert it to PNG or TIFF first"},
    {0, "\xFF\x0A"sv, "a JPEG XL file: convert it to PNG or TIFF first"},
    {4, "ftypavif"sv, "an AVIF image: convert it to PNG or TIFF first"},
    {4, "ftypheic"sv, "a HEIF image: convert it to PNG or TIFF first"},
    {4, "ftypheix"sv, "a HEIF image: convert it to PNG or TIFF first"},
    {4, "ftypmif1"sv, "a HEIF image: convert it to PNG or TIFF first"},
    {0, "AT&TFORM"sv, "a DjVu document: convert it to PDF or TIFF first"},
    {0, "%!PS"sv, "a PostScript file: convert it to PDF first"},
    {0, "\xC5\xD0\xD3\xC6"sv, "an encapsulated PostScript file: convert it to PDF first"},
    {0, "8BPS"sv, "a Photoshop image: export it as PNG or TIFF first"},
    {0, "gimp xcf"sv, "a GIMP image: export it as PNG or TIFF first"},
    {0, "PK\x03\x04"sv, "a ZIP archive (an office document?): export its pages as PDF first"},
    {0, "{\\rtf"sv, "an RTF document, not an image"},
};

bool Matches(const std::uint8_t* data, std::size_t size, const TKnownFormat& format) {
  return size >= format.Offset + format.Magic.size() &&
         std::memcmp(data + format.Offset, format.Magic.data(), format.Magic.size()) == 0;
}

}  // namespace

std::string DescribeUnsupportedFormat(const std::uint8_t* data, std::size_t size) {
  for (const TKnownFormat& format : kKnownFormats)
    if (Matches(data, size, format)) return format.Description;
  return "";
}

}  // namespace omniocr
