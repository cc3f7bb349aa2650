#include "imaging/pdf_writer.h"

#include <hpdf.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "imaging/image_error.h"
#include "imaging/image_io.h"
#include "imaging/pixel_access.h"

namespace omniocr {

namespace {

// Quality of the JPEG pages (grey and colour images).
constexpr int kJpegQuality = 85;

// The text layer's font, Helvetica, spans from 0.718 of its size above the
// baseline to 0.207 below it in the metrics PDF readers use for the built-in
// fonts; a line's font size is chosen so that this span fills the line.
constexpr double kFontAscent = 0.718;
constexpr double kFontDescent = 0.207;

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

}  // namespace

std::string Utf8ToWindows1252(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) out += ToWindows1252(NextScalar(text, i));
  return out;
}

// The document and the first error libharu reported for it: its calls
// return error codes through a callback, which must not throw across C.
struct TPdfDocument::TState {
  HPDF_Doc Doc = nullptr;
  HPDF_Font Font = nullptr;
  HPDF_STATUS Error = HPDF_OK;
  HPDF_STATUS Detail = 0;

  void Check(const char* what) {
    if (Error == HPDF_OK) return;
    const std::string message = std::string("PDF output failed (") + what + ", error 0x" + Hex(Error) +
                                (Detail ? ", detail " + std::to_string(Detail) : "") + ")";
    Error = HPDF_OK;
    Detail = 0;
    HPDF_ResetError(Doc);
    throw EImageError(message);
  }
  static std::string Hex(HPDF_STATUS value) {
    char text[16];
    std::snprintf(text, sizeof text, "%04lX", static_cast<unsigned long>(value));
    return text;
  }
};

namespace {

void HpdfError(HPDF_STATUS error, HPDF_STATUS detail, void* user) {
  auto* state = static_cast<TPdfDocument::TState*>(user);
  if (state->Error == HPDF_OK) {
    state->Error = error;
    state->Detail = detail;
  }
}

bool IsBlackWhite(const TDibGraphic& image) {
  return image.BitCount() == 1 && image.Palette().size() == 2 && (image.Palette()[0] & 0xFFFFFF) == 0 &&
         (image.Palette()[1] & 0xFFFFFF) == 0xFFFFFF;
}

// Bilevel rows as they are (bit 0 black), top row first.
std::vector<std::uint8_t> PackedBits(const TDibGraphic& image) {
  const std::size_t rowBytes = (static_cast<std::size_t>(image.Width()) + 7) / 8;
  std::vector<std::uint8_t> bits(rowBytes * static_cast<std::size_t>(image.Height()));
  for (int y = 0; y < image.Height(); ++y)
    std::memcpy(bits.data() + rowBytes * static_cast<std::size_t>(y), image.ScanLine(y), rowBytes);
  return bits;
}

HPDF_Image LoadImage(HPDF_Doc doc, const TDibGraphic& image) {
  if (IsBlackWhite(image)) {
    // With libharu's black_is1 flag set the 0 bits of these rows (black
    // here) come out black in the PDF; the writer's tests render it back.
    const std::vector<std::uint8_t> bits = PackedBits(image);
    return HPDF_Image_LoadRaw1BitImageFromMem(
        doc, bits.data(), static_cast<HPDF_UINT>(image.Width()), static_cast<HPDF_UINT>(image.Height()),
        static_cast<HPDF_UINT>((image.Width() + 7) / 8), HPDF_TRUE, HPDF_TRUE);
  }
  const std::vector<std::uint8_t> jpeg = WriteJpegMemory(image, kJpegQuality);
  return HPDF_LoadJpegImageFromMem(doc, jpeg.data(), static_cast<HPDF_UINT>(jpeg.size()));
}

}  // namespace

TPdfDocument::TPdfDocument() : State(std::make_unique<TState>()) {
  State->Doc = HPDF_New(HpdfError, State.get());
  if (State->Doc == nullptr) throw EImageError("out of memory for PDF output");
  HPDF_SetCompressionMode(State->Doc, HPDF_COMP_ALL);
  HPDF_SetInfoAttr(State->Doc, HPDF_INFO_CREATOR, "omniocr");
  HPDF_SetInfoAttr(State->Doc, HPDF_INFO_PRODUCER, "omniocr");
  State->Font = HPDF_GetFont(State->Doc, "Helvetica", "WinAnsiEncoding");
  State->Check("font");
}

TPdfDocument::~TPdfDocument() {
  if (State->Doc != nullptr) HPDF_Free(State->Doc);
}

void TPdfDocument::AddPage(const TDibGraphic& image, int xDpi, int yDpi, const std::vector<TPdfLine>& lines) {
  if (image.Empty()) throw EImageError("cannot write an empty page");
  if (xDpi <= 0 || yDpi <= 0) throw EImageError("a PDF page needs the image's resolution");
  const double sx = 72.0 / xDpi, sy = 72.0 / yDpi;
  const double pageW = image.Width() * sx, pageH = image.Height() * sy;
  // PDF readers handle pages of at most 200 inches a side.
  if (pageW > 14400 || pageH > 14400)
    throw EImageError("page of " + std::to_string(image.Width()) + " x " + std::to_string(image.Height()) +
                      " pixels too large for PDF at " + std::to_string(xDpi) + " dpi");
  HPDF_Doc doc = State->Doc;
  const HPDF_Image picture = LoadImage(doc, image);
  State->Check("page image");
  HPDF_Page page = HPDF_AddPage(doc);
  HPDF_Page_SetWidth(page, static_cast<HPDF_REAL>(pageW));
  HPDF_Page_SetHeight(page, static_cast<HPDF_REAL>(pageH));
  HPDF_Page_DrawImage(page, picture, 0, 0, static_cast<HPDF_REAL>(pageW), static_cast<HPDF_REAL>(pageH));
  State->Check("page");

  HPDF_Page_BeginText(page);
  HPDF_Page_SetTextRenderingMode(page, HPDF_INVISIBLE);
  for (const TPdfLine& line : lines) {
    const double bandTop = pageH - line.Top * sy, bandBottom = pageH - (line.Bottom + 1) * sy;
    const double size = std::max(bandTop - bandBottom, 0.5) / (kFontAscent + kFontDescent);
    HPDF_Page_SetFontAndSize(page, State->Font, static_cast<HPDF_REAL>(size));
    const double baseline = bandBottom + kFontDescent * size;
    for (const TPdfWord& word : line.Words) {
      const std::string text = Utf8ToWindows1252(word.Text);
      if (text.empty()) continue;
      const double natural = HPDF_Page_TextWidth(page, text.c_str());
      if (!(natural > 0)) continue;
      // The word is stretched to its box horizontally.
      const double stretch = (word.Right - word.Left + 1) * sx / natural;
      HPDF_Page_SetTextMatrix(page, static_cast<HPDF_REAL>(stretch), 0, 0, 1,
                              static_cast<HPDF_REAL>(word.Left * sx), static_cast<HPDF_REAL>(baseline));
      HPDF_Page_ShowText(page, text.c_str());
    }
  }
  HPDF_Page_EndText(page);
  State->Check("text layer");
  ++Pages;
}

std::vector<std::uint8_t> TPdfDocument::Save() {
  HPDF_SaveToStream(State->Doc);
  State->Check("saving");
  std::vector<std::uint8_t> bytes(HPDF_GetStreamSize(State->Doc));
  HPDF_ResetStream(State->Doc);
  HPDF_UINT32 got = static_cast<HPDF_UINT32>(bytes.size());
  HPDF_ReadFromStream(State->Doc, bytes.data(), &got);
  bytes.resize(got);
  // The stream ends with an end-of-stream "error", which is none.
  HPDF_ResetError(State->Doc);
  State->Error = HPDF_OK;
  return bytes;
}

}  // namespace omniocr
