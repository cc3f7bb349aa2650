#include "imaging/pdf_writer.h"

#include <cstring>
#include <new>

#include "imaging/image_error.h"
#include "imaging/image_io.h"
#include "imaging/module_loading.h"
#include "imaging/pdf_module.h"
#include "imaging/pdf_module_access.h"
#include "imaging/pixel_access.h"

namespace omniocr {

namespace {

// Quality of the JPEG pages (grey and colour images).
constexpr int kJpegQuality = 85;

// Windows-1252 at 0x80..0x9F; 0 where the code page has no character.
constexpr char16_t kWindows1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                           0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char ToWindows1252(char32_t c) {
  if ((c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (int i = 0; i < 32; ++i)
    if (kWindows1252High[i] != 0 && kWindows1252High[i] == c) return static_cast<char>(0x80 + i);
  return '?';
}

// The next scalar value of UTF-8 text; malformed bytes count as one each.
char32_t NextScalar(const std::string& text, std::size_t& i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
  if (length == 0 || i + length > text.size()) {
    ++i;
    return 0xFFFD;
  }
  char32_t value = length == 1 ? lead : lead & (0x7F >> length);
  for (int k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    value = (value << 6) | (byte(i + k) & 0x3F);
  }
  i += length;
  return value;
}

// Loaded with the first document; a failed load is tried again with the next.
const TPdfWriterModule& Writer() {
  static const TPdfWriterModule& module =
      LoadPdfModule<TPdfWriterModule>(kPdfWriterFile, kPdfWriterEntry, "PDF output");
  return module;
}

// Bilevel rows as they are (bit 0 black), top row first.
std::vector<std::uint8_t> PackedBits(const TDibGraphic& image) {
  const std::size_t rowBytes = (static_cast<std::size_t>(image.Width()) + 7) / 8;
  std::vector<std::uint8_t> bits(rowBytes * static_cast<std::size_t>(image.Height()));
  for (int y = 0; y < image.Height(); ++y)
    std::memcpy(bits.data() + rowBytes * static_cast<std::size_t>(y), image.ScanLine(y), rowBytes);
  return bits;
}

// The text layer as the module takes it: every word in Windows-1252.
struct TTextLayer {
  std::vector<std::string> Texts;
  std::vector<TPdfWordData> Words;
  std::vector<TPdfLineData> Lines;

  explicit TTextLayer(const std::vector<TPdfLine>& lines) {
    for (const TPdfLine& line : lines)
      for (const TPdfWord& word : line.Words) Texts.push_back(Utf8ToWindows1252(word.Text));
    std::size_t next = 0;
    for (const TPdfLine& line : lines)
      for (const TPdfWord& word : line.Words) Words.push_back({word.Left, word.Right, Texts[next++].c_str()});
    next = 0;
    for (const TPdfLine& line : lines) {
      Lines.push_back({line.Top, line.Bottom, Words.data() + next, line.Words.size()});
      next += line.Words.size();
    }
  }
};

}  // namespace

std::string Utf8ToWindows1252(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) out += ToWindows1252(NextScalar(text, i));
  return out;
}

struct TPdfDocument::TState {
  void* Document = nullptr;
  ~TState() { Writer().Free(Document); }
};

TPdfDocument::TPdfDocument() {
  const TPdfWriterModule& writer = Writer();
  State = std::make_unique<TState>();
  TPdfModuleError error;
  CheckPdfStatus(writer.Create(&State->Document, &error), error);
}

TPdfDocument::~TPdfDocument() = default;

void TPdfDocument::AddPage(const TDibGraphic& image, int xDpi, int yDpi, const std::vector<TPdfLine>& lines) {
  if (image.Empty()) throw EImageError("cannot write an empty page");
  if (xDpi <= 0 || yDpi <= 0) throw EImageError("a PDF page needs the image's resolution");
  const double pageW = image.Width() * 72.0 / xDpi, pageH = image.Height() * 72.0 / yDpi;
  // PDF readers handle pages of at most 200 inches a side.
  if (pageW > 14400 || pageH > 14400)
    throw EImageError("page of " + std::to_string(image.Width()) + " x " + std::to_string(image.Height()) +
                      " pixels too large for PDF at " + std::to_string(xDpi) + " dpi");
  const bool bilevel = image.BitCount() == 1 && IsBlackWhite(image.Palette());
  const std::vector<std::uint8_t> bytes = bilevel ? PackedBits(image) : WriteJpegMemory(image, kJpegQuality);
  const TTextLayer layer(lines);
  const TPdfPageData page{{bilevel ? TPdfImageKind::Bilevel : TPdfImageKind::Jpeg, image.Width(),
                           image.Height(), bytes.data(), bytes.size(), (image.Width() + 7) / 8},
                          xDpi,
                          yDpi,
                          layer.Lines.data(),
                          layer.Lines.size()};
  TPdfModuleError error;
  CheckPdfStatus(Writer().AddPage(State->Document, &page, &error), error);
  ++Pages;
}

std::vector<std::uint8_t> TPdfDocument::Save() {
  std::vector<std::uint8_t> bytes;
  TPdfBytesSink sink{&bytes, [](void* context, std::size_t size) -> std::uint8_t* {
                       auto& room = *static_cast<std::vector<std::uint8_t>*>(context);
                       try {
                         room.resize(size);
                       } catch (const std::bad_alloc&) {
                         return nullptr;
                       }
                       return room.data();
                     }};
  std::size_t saved = 0;
  TPdfModuleError error;
  CheckPdfStatus(Writer().Save(State->Document, &sink, &saved, &error), error);
  bytes.resize(saved);
  return bytes;
}

}  // namespace omniocr
