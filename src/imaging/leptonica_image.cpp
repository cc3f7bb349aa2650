#include "imaging/leptonica_image.h"

#include <leptonica/allheaders.h>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "imaging/image_error.h"
#include "imaging/pixel_access.h"

namespace omniocr {

void TPixDeleter::operator()(Pix* pix) const { pixDestroy(&pix); }

void SilenceLeptonica() {
  static std::once_flag once;
  std::call_once(once, [] { setMsgSeverity(L_SEVERITY_NONE); });
}

namespace {

constexpr std::uint32_t kBlack = 0x000000u;
constexpr std::uint32_t kWhite = 0xFFFFFFu;

// The table exactly as TDibGraphic makes it for a black/white or grey image:
// then Leptonica's own conventions hold the image without a colour map.
bool IsPlainBilevel(const TDibGraphic& image) {
  const std::vector<std::uint32_t>& p = image.Palette();
  return image.BitCount() == 1 && p.size() == 2 && p[0] == kBlack && p[1] == kWhite;
}

bool IsPlainGrey(const TDibGraphic& image) {
  const std::vector<std::uint32_t>& p = image.Palette();
  if (image.BitCount() != 8 || p.size() != 256) return false;
  for (unsigned i = 0; i < 256; ++i)
    if (p[i] != GreyColor(i)) return false;
  return true;
}

// The table's reserved byte travels as the colour map's alpha.
PIXCMAP* ColourMapOf(const std::vector<std::uint32_t>& palette, int bitCount) {
  PIXCMAP* cmap = pixcmapCreate(bitCount);
  if (cmap == nullptr) throw std::bad_alloc();
  for (int i = 0; i < (1 << bitCount); ++i) {
    const std::uint32_t c =
        static_cast<std::size_t>(i) < palette.size() ? palette[static_cast<std::size_t>(i)] : 0;
    pixcmapAddRGBA(cmap, static_cast<l_int32>(RedOf(c)), static_cast<l_int32>(GreenOf(c)),
                   static_cast<l_int32>(BlueOf(c)), static_cast<l_int32>(c >> 24));
  }
  return cmap;
}

std::vector<std::uint32_t> PaletteOf(PIXCMAP* cmap, int entries) {
  std::vector<std::uint32_t> palette(static_cast<std::size_t>(entries), 0);
  const int count = pixcmapGetCount(cmap);
  for (int i = 0; i < entries && i < count; ++i) {
    l_int32 r = 0, g = 0, b = 0, a = 0;
    pixcmapGetRGBA(cmap, i, &r, &g, &b, &a);
    palette[static_cast<std::size_t>(i)] =
        MakeColor(static_cast<unsigned>(r), static_cast<unsigned>(g), static_cast<unsigned>(b)) |
        (static_cast<std::uint32_t>(a) << 24);
  }
  return palette;
}

// Leptonica keeps packed rows in 32-bit words with the first pixel in the
// most significant bits: four bytes of a row, first byte highest, are one
// word. The bytes of a last, partial word go one at a time through the byte
// accessors, which hide the machine's byte order.
l_uint32 WordOfBytes(const std::uint8_t* bytes) {
  return static_cast<l_uint32>(bytes[0]) << 24 | static_cast<l_uint32>(bytes[1]) << 16 |
         static_cast<l_uint32>(bytes[2]) << 8 | static_cast<l_uint32>(bytes[3]);
}

void BytesOfWord(l_uint32 word, std::uint8_t* bytes) {
  bytes[0] = static_cast<std::uint8_t>(word >> 24);
  bytes[1] = static_cast<std::uint8_t>(word >> 16);
  bytes[2] = static_cast<std::uint8_t>(word >> 8);
  bytes[3] = static_cast<std::uint8_t>(word);
}

// Sixteen bytes of a row and four words of Leptonica's row hold the same
// pixels when the four bytes of each word are turned around (x86 stores a
// word's lowest byte first); `flip` (all ones or none) inverts them too.
// Returns the bytes done: a multiple of sixteen, the rest left to the word
// and byte steps.
int TurnSixteens(const std::uint8_t* from, std::uint8_t* to, int bytes, bool flip) {
  int i = 0;
#ifdef __SSE2__
  const __m128i flipBits = flip ? _mm_set1_epi8(-1) : _mm_setzero_si128();
  for (; i + 16 <= bytes; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
    // Bytes swapped within pairs, then pairs within words.
    const __m128i pairs = _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8));
    const __m128i words = _mm_shufflehi_epi16(_mm_shufflelo_epi16(pairs, 0xB1), 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), _mm_xor_si128(words, flipBits));
  }
#else
  (void)from, (void)to, (void)bytes, (void)flip;
#endif
  return i;
}

void CopyPackedRowsToPix(const TDibGraphic& image, Pix* pix, bool invert) {
  const int bytes = (image.Width() * image.BitCount() + 7) / 8;
  const l_uint32 flip = invert ? ~l_uint32{0} : 0;
  const l_int32 wpl = pixGetWpl(pix);
  l_uint32* data = pixGetData(pix);
  for (int y = 0; y < image.Height(); ++y) {
    const std::uint8_t* source = image.ScanLine(y);
    l_uint32* line = data + static_cast<std::ptrdiff_t>(y) * wpl;
    int i = TurnSixteens(source, reinterpret_cast<std::uint8_t*>(line), bytes, invert);
    for (; i + 4 <= bytes; i += 4) line[i / 4] = WordOfBytes(source + i) ^ flip;
    for (; i < bytes; ++i) SET_DATA_BYTE(line, i, static_cast<l_uint8>(source[i] ^ flip));
  }
}

void CopyPackedRowsFromPix(const Pix& pix, TDibGraphic& image, bool invert) {
  const int bytes = (image.Width() * static_cast<int>(pixGetDepth(&pix)) + 7) / 8;
  const l_uint32 flip = invert ? ~l_uint32{0} : 0;
  const l_int32 wpl = pixGetWpl(&pix);
  const l_uint32* data = pixGetData(const_cast<Pix*>(&pix));
  for (int y = 0; y < image.Height(); ++y) {
    std::uint8_t* target = image.ScanLine(y);
    const l_uint32* line = data + static_cast<std::ptrdiff_t>(y) * wpl;
    int i = TurnSixteens(reinterpret_cast<const std::uint8_t*>(line), target, bytes, invert);
    for (; i + 4 <= bytes; i += 4) BytesOfWord(line[i / 4] ^ flip, target + i);
    for (; i < bytes; ++i) target[i] = static_cast<std::uint8_t>(GET_DATA_BYTE(line, i) ^ flip);
  }
}

// A row of bytes in their own order, four to a word, as Leptonica's row;
// `bytes` a multiple of four.
void BytesToWords(const std::uint8_t* row, int bytes, l_uint32* line) {
  int i = TurnSixteens(row, reinterpret_cast<std::uint8_t*>(line), bytes, false);
  for (; i < bytes; i += 4) line[i / 4] = WordOfBytes(row + i);
}

void CopyTrueColourToPix(const TDibGraphic& image, Pix* pix) {
  const l_int32 wpl = pixGetWpl(pix);
  l_uint32* data = pixGetData(pix);
  for (int y = 0; y < image.Height(); ++y) {
    const std::uint8_t* source = image.ScanLine(y);
    l_uint32* line = data + static_cast<std::ptrdiff_t>(y) * wpl;
    for (int x = 0; x < image.Width(); ++x) {
      const std::uint8_t* p = source + 3 * x;
      line[x] = (static_cast<l_uint32>(p[2]) << L_RED_SHIFT) |
                (static_cast<l_uint32>(p[1]) << L_GREEN_SHIFT) |
                (static_cast<l_uint32>(p[0]) << L_BLUE_SHIFT);
    }
  }
}

void CopyTrueColourFromPix(const Pix& pix, TDibGraphic& image) {
  const l_int32 wpl = pixGetWpl(&pix);
  const l_uint32* data = pixGetData(const_cast<Pix*>(&pix));
  for (int y = 0; y < image.Height(); ++y) {
    std::uint8_t* target = image.ScanLine(y);
    const l_uint32* line = data + static_cast<std::ptrdiff_t>(y) * wpl;
    for (int x = 0; x < image.Width(); ++x) {
      const l_uint32 v = line[x];
      SetColor24(
          target, x,
          MakeColor((v >> L_RED_SHIFT) & 0xFF, (v >> L_GREEN_SHIFT) & 0xFF, (v >> L_BLUE_SHIFT) & 0xFF));
    }
  }
}

// 2 bpp has no TDibGraphic form: the indices are widened to 4 bits.
TDibGraphic FromTwoBitPix(const Pix& pix) {
  TDibGraphic image;
  image.SetSize(static_cast<int>(pixGetWidth(&pix)), static_cast<int>(pixGetHeight(&pix)), 4);
  PIXCMAP* cmap = pixGetColormap(const_cast<Pix*>(&pix));
  std::vector<std::uint32_t> palette(16, 0);
  for (unsigned i = 0; i < 4; ++i) palette[i] = GreyColor(i * 85);
  if (cmap != nullptr) {
    const std::vector<std::uint32_t> mapped = PaletteOf(cmap, 4);
    std::copy(mapped.begin(), mapped.end(), palette.begin());
  }
  image.Palette() = palette;
  const l_int32 wpl = pixGetWpl(&pix);
  const l_uint32* data = pixGetData(const_cast<Pix*>(&pix));
  for (int y = 0; y < image.Height(); ++y) {
    const l_uint32* line = data + static_cast<std::ptrdiff_t>(y) * wpl;
    for (int x = 0; x < image.Width(); ++x) SetIndex(image.ScanLine(y), x, 4, GET_DATA_DIBIT(line, x));
  }
  return image;
}

}  // namespace

TPixPtr ToLeptonica(const TDibGraphic& image) {
  SilenceLeptonica();
  if (image.Empty()) throw EImageError("the image is empty");
  const int bits = image.BitCount();
  TPixPtr pix(pixCreate(image.Width(), image.Height(), bits == 24 ? 32 : bits));
  if (!pix) throw std::bad_alloc();
  pixSetResolution(pix.get(), image.XDpi, image.YDpi);
  if (bits == 24) {
    CopyTrueColourToPix(image, pix.get());
    return pix;
  }
  const bool plainBilevel = IsPlainBilevel(image);
  CopyPackedRowsToPix(image, pix.get(), plainBilevel);
  if (plainBilevel) {
    pixSetPadBits(pix.get(), 0);
  } else if (!IsPlainGrey(image)) {
    pixSetColormap(pix.get(), ColourMapOf(image.Palette(), bits));
  }
  return pix;
}

TPixPtr WhiteFramedGrey(const TDibGraphic& image, const TBorder& border) {
  if (image.Empty() || !IsPlainGrey(image)) return nullptr;
  SilenceLeptonica();
  const int width = image.Width() + border.Left + border.Right;
  const int height = image.Height() + border.Top + border.Bottom;
  // Every word is written below, the padding after each row as zeros.
  TPixPtr pix(pixCreateNoInit(width, height, 8));
  if (!pix) throw std::bad_alloc();
  pixSetResolution(pix.get(), image.XDpi, image.YDpi);
  const l_int32 wpl = pixGetWpl(pix.get());
  l_uint32* data = pixGetData(pix.get());
  const int rowBytes = 4 * wpl;
  std::vector<std::uint8_t> row(static_cast<std::size_t>(rowBytes), 0);
  std::memset(row.data(), 0xFF, static_cast<std::size_t>(width));
  std::vector<l_uint32> whiteLine(static_cast<std::size_t>(wpl));
  BytesToWords(row.data(), rowBytes, whiteLine.data());
  for (int y = 0; y < height; ++y) {
    l_uint32* line = data + static_cast<std::ptrdiff_t>(y) * wpl;
    const int inside = y - border.Top;
    if (inside < 0 || inside >= image.Height()) {
      std::memcpy(line, whiteLine.data(), static_cast<std::size_t>(rowBytes));
      continue;
    }
    std::memcpy(row.data() + border.Left, image.ScanLine(inside), static_cast<std::size_t>(image.Width()));
    BytesToWords(row.data(), rowBytes, line);
  }
  return pix;
}

TDibGraphic FromLeptonica(const Pix& pix) {
  SilenceLeptonica();
  Pix* p = const_cast<Pix*>(&pix);
  const int depth = static_cast<int>(pixGetDepth(p));
  const int width = static_cast<int>(pixGetWidth(p)), height = static_cast<int>(pixGetHeight(p));
  if (width <= 0 || height <= 0) throw EImageError("the image is empty");
  if (depth == 2) return FromTwoBitPix(pix);
  if (depth != 1 && depth != 4 && depth != 8 && depth != 32)
    throw EImageError("unsupported pixel format of " + std::to_string(depth) + " bits");
  // The copies below write every row whole.
  TDibGraphic image;
  image.SetSizeForOverwrite(width, height, depth == 32 ? 24 : depth);
  image.XDpi = static_cast<int>(pixGetXRes(p));
  image.YDpi = static_cast<int>(pixGetYRes(p));
  if (depth == 32) {
    CopyTrueColourFromPix(pix, image);
    return image;
  }
  PIXCMAP* cmap = pixGetColormap(p);
  CopyPackedRowsFromPix(pix, image, depth == 1 && cmap == nullptr);
  if (cmap != nullptr) image.Palette() = PaletteOf(cmap, 1 << depth);
  return image;
}

}  // namespace omniocr
