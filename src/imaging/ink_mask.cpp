#include "imaging/ink_mask.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <leptonica/allheaders.h>

#include <array>
#include <bit>
#include <new>

#include "dibunit/byte_counts.h"
#include "dibunit/threshold.h"
#include "imaging/pixel_access.h"

namespace omniocr {

namespace {

using TIndexTable = std::array<std::uint8_t, 256>;

// The grey level of every colour-table index of an image of up to 8 bits
// (black for an index beyond the table).
TIndexTable GreyOfIndices(const TDibGraphic& image) {
  TIndexTable grey{};
  const std::size_t entries = std::size_t{1} << image.BitCount();
  for (std::size_t i = 0; i < entries && i < image.Palette().size(); ++i)
    grey[i] = static_cast<std::uint8_t>(GreyOf(image.Palette()[i] & 0xFFFFFFu));
  return grey;
}

// How many pixels of an image of up to 8 bits hold each index: bilevel rows
// a byte at a time, the others pixel by pixel.
THistogram IndexCounts(const TDibGraphic& image) {
  THistogram counts{};
  const int width = image.Width(), height = image.Height(), bits = image.BitCount();
  if (bits == 1) {
    const int fullBytes = width / 8, rest = width % 8;
    const unsigned lastMask = rest ? (0xFF00u >> rest) & 0xFFu : 0u;
    std::uint64_t ones = 0;
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* row = image.ScanLine(y);
      for (int i = 0; i < fullBytes; ++i) ones += static_cast<unsigned>(std::popcount(row[i]));
      if (rest) ones += static_cast<unsigned>(std::popcount(row[fullBytes] & lastMask));
    }
    counts[1] = ones;
    counts[0] = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) - ones;
    return counts;
  }
  if (bits == 8) {
    TByteCounter counter;
    for (int y = 0; y < height; ++y) counter.Add(image.ScanLine(y), static_cast<std::size_t>(width));
    counter.AddTo(counts);
    return counts;
  }
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = image.ScanLine(y);
    for (int x = 0; x < width; ++x) ++counts[GetIndex(row, x, bits)];
  }
  return counts;
}

std::uint8_t GreyAt24(const std::uint8_t* row, int x) {
  return static_cast<std::uint8_t>(GreyOf(MakeColor(row[3 * x + 2], row[3 * x + 1], row[3 * x])));
}

// Mask rows of a bilevel image: each 32 pixels are a word of the row's bytes,
// taken as they are, inverted, or as all ink or none.
void MaskBilevel(const TDibGraphic& image, bool zeroIsInk, bool oneIsInk, l_uint32* data, l_int32 wpl) {
  const int width = image.Width(), rowBytes = (width + 7) / 8;
  const int rest = width % 32;
  const l_uint32 lastMask = rest ? ~l_uint32{0} << (32 - rest) : ~l_uint32{0};
  for (int y = 0; y < image.Height(); ++y) {
    const std::uint8_t* row = image.ScanLine(y);
    l_uint32* line = data + static_cast<std::ptrdiff_t>(y) * wpl;
    for (int w = 0; w < wpl; ++w) {
      l_uint32 bits = 0;
      for (int k = 0; k < 4; ++k) {
        const int byte = 4 * w + k;
        bits = (bits << 8) | (byte < rowBytes ? row[byte] : 0u);
      }
      l_uint32 ink = (oneIsInk ? bits : 0u) | (zeroIsInk ? ~bits : 0u);
      if (w == wpl - 1) ink &= lastMask;
      line[w] = ink;
    }
  }
}

// Mask rows of any other image, from whether each pixel is ink.
template <typename TIsInk>
void MaskPixels(const TDibGraphic& image, l_uint32* data, l_int32 wpl, TIsInk isInk) {
  const int width = image.Width();
  for (int y = 0; y < image.Height(); ++y) {
    const std::uint8_t* row = image.ScanLine(y);
    l_uint32* line = data + static_cast<std::ptrdiff_t>(y) * wpl;
    l_uint32 word = 0;
    int x = 0;
    for (; x < width; ++x) {
      word = (word << 1) | (isInk(row, x) ? 1u : 0u);
      if ((x & 31) == 31) line[x >> 5] = word;
    }
    if (x & 31) line[x >> 5] = word << (32 - (x & 31));
  }
}

// The mask bits of eight pixels of an 8-bit image, first pixel highest: from
// one lookup when the eight bytes are equal (paper), else from eight lookups
// that do not wait for one another.
l_uint32 MaskEightGrey(const std::uint8_t* p, const TIndexTable& ink) {
  std::uint8_t value;
  if (EightEqualBytes(p, value)) return ink[value] ? 0xFFu : 0u;
  l_uint32 bits = 0;
  for (int k = 0; k < 8; ++k) bits |= static_cast<l_uint32>(ink[p[k]]) << (7 - k);
  return bits;
}

// Mask rows of an 8-bit image, a word of 32 pixels at a time.
void MaskGrey(const TDibGraphic& image, const TIndexTable& ink, l_uint32* data, l_int32 wpl) {
  const int width = image.Width(), fullWords = width / 32;
  for (int y = 0; y < image.Height(); ++y) {
    const std::uint8_t* row = image.ScanLine(y);
    l_uint32* line = data + static_cast<std::ptrdiff_t>(y) * wpl;
    for (int w = 0; w < fullWords; ++w) {
      const std::uint8_t* p = row + 32 * w;
      if (ThirtyTwoBytesOf(p, p[0])) {
        line[w] = ink[p[0]] ? ~l_uint32{0} : 0u;
        continue;
      }
      line[w] = MaskEightGrey(p, ink) << 24 | MaskEightGrey(p + 8, ink) << 16 |
                MaskEightGrey(p + 16, ink) << 8 | MaskEightGrey(p + 24, ink);
    }
    l_uint32 word = 0;
    for (int x = 32 * fullWords; x < width; ++x)
      word |= static_cast<l_uint32>(ink[row[x]]) << (31 - (x & 31));
    if (width % 32) line[fullWords] = word;
  }
}

// The number of leading ink entries when the ink entries are exactly the
// indices below it; -1 when ink and paper interleave.
int InkPrefixLength(const TIndexTable& ink) {
  std::size_t length = 0;
  while (length < ink.size() && ink[length] != 0) ++length;
  for (std::size_t i = length; i < ink.size(); ++i)
    if (ink[i] != 0) return -1;
  return static_cast<int>(length);
}

#ifdef __SSE2__
// Bits of each byte in reverse order: a compare mask holds the first pixel
// lowest, Leptonica wants it highest.
constexpr std::array<std::uint8_t, 256> kReversedBits = [] {
  std::array<std::uint8_t, 256> table{};
  for (int b = 0; b < 256; ++b) {
    int r = 0;
    for (int k = 0; k < 8; ++k) r |= ((b >> k) & 1) << (7 - k);
    table[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(r);
  }
  return table;
}();

// The mask word of 32 pixels of an 8-bit image whose ink is every byte up to
// `lastInk`: sixteen bytes compared at once, twice. Inlined: it runs for
// every word of the page.
[[gnu::always_inline]] inline l_uint32 MaskWordBelow(const std::uint8_t* p, __m128i lastInk) {
  const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
  // A byte is at most lastInk when the smaller of the two is the byte.
  const auto lowBits =
      static_cast<l_uint32>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(low, lastInk), low)));
  const auto highBits =
      static_cast<l_uint32>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(high, lastInk), high)));
  const l_uint32 bits = lowBits | highBits << 16;
  if (bits == 0) return 0;  // paper, as most words are
  return l_uint32{kReversedBits[bits & 0xFF]} << 24 | l_uint32{kReversedBits[(bits >> 8) & 0xFF]} << 16 |
         l_uint32{kReversedBits[(bits >> 16) & 0xFF]} << 8 | l_uint32{kReversedBits[bits >> 24]};
}

// Whether none of the 64 bytes at p is at most `lastInk`: the smallest
// byte of each lane of the four sixteen is compared, at once.
[[gnu::always_inline]] inline bool NoInkInSixtyFour(const std::uint8_t* p, __m128i lastInk) {
  const auto* q = reinterpret_cast<const __m128i*>(p);
  const __m128i lowest = _mm_min_epu8(_mm_min_epu8(_mm_loadu_si128(q), _mm_loadu_si128(q + 1)),
                                      _mm_min_epu8(_mm_loadu_si128(q + 2), _mm_loadu_si128(q + 3)));
  return _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(lowest, lastInk), lowest)) == 0;
}

// Mask rows of an 8-bit image whose ink is the bytes below `inkLevels`
// (1 to 255), a word of 32 pixels at a time; two words of paper, as most
// are, from one test.
void MaskGreyBelow(const TDibGraphic& image, int inkLevels, l_uint32* data, l_int32 wpl) {
  const int width = image.Width(), fullWords = width / 32, rest = width % 32;
  const __m128i lastInk = _mm_set1_epi8(static_cast<char>(inkLevels - 1));
  for (int y = 0; y < image.Height(); ++y) {
    const std::uint8_t* row = image.ScanLine(y);
    l_uint32* line = data + static_cast<std::ptrdiff_t>(y) * wpl;
    int w = 0;
    for (; w + 2 <= fullWords; w += 2) {
      const std::uint8_t* p = row + 32 * w;
      if (NoInkInSixtyFour(p, lastInk)) {
        line[w] = line[w + 1] = 0;
        continue;
      }
      line[w] = MaskWordBelow(p, lastInk);
      line[w + 1] = MaskWordBelow(p + 32, lastInk);
    }
    for (; w < fullWords; ++w) line[w] = MaskWordBelow(row + 32 * w, lastInk);
    if (rest == 0) continue;
    if (fullWords > 0) {
      // The row's last 32 pixels as one word: the rest's bits lie lowest and
      // are shifted to the top, the others fall out and zeros fill in.
      line[fullWords] = MaskWordBelow(row + width - 32, lastInk) << (32 - rest);
      continue;
    }
    l_uint32 word = 0;
    for (int x = 0; x < width; ++x) word |= static_cast<l_uint32>(row[x] < inkLevels ? 1u : 0u) << (31 - x);
    line[0] = word;
  }
}

#endif

}  // namespace

THistogram GreyHistogram(const TDibGraphic& image) {
  THistogram histogram{};
  if (image.BitCount() == 24) {
    for (int y = 0; y < image.Height(); ++y) {
      const std::uint8_t* row = image.ScanLine(y);
      for (int x = 0; x < image.Width(); ++x) ++histogram[GreyAt24(row, x)];
    }
    return histogram;
  }
  const TIndexTable grey = GreyOfIndices(image);
  const THistogram counts = IndexCounts(image);
  for (std::size_t i = 0; i < counts.size(); ++i) histogram[grey[i]] += counts[i];
  return histogram;
}

int InkThreshold(const THistogram& histogram) {
  return InkThresholdFromOtsu(OtsuThreshold(histogram), histogram);
}

std::uint64_t InkPixels(const THistogram& histogram) {
  const int threshold = InkThreshold(histogram);
  std::uint64_t ink = 0;
  for (int level = 0; level < threshold && level < 256; ++level) ink += histogram[level];
  return ink;
}

TPixPtr InkMask(const TDibGraphic& image) { return InkMask(image, GreyHistogram(image)); }

TPixPtr InkMask(const TDibGraphic& image, const THistogram& greyHistogram) {
  SilenceLeptonica();
  const int threshold = InkThreshold(greyHistogram);
  // Every word of every row is written below, so the mask is not cleared
  // first; a page without ink clears it instead.
  TPixPtr mask(pixCreateNoInit(image.Width(), image.Height(), 1));
  if (!mask) throw std::bad_alloc();
  pixSetResolution(mask.get(), image.XDpi, image.YDpi);
  const l_int32 wpl = pixGetWpl(mask.get());
  l_uint32* data = pixGetData(mask.get());
  const int bits = image.BitCount();
  if (bits == 24) {
    MaskPixels(image, data, wpl,
               [&](const std::uint8_t* row, int x) { return GreyAt24(row, x) < threshold; });
    return mask;
  }
  const TIndexTable grey = GreyOfIndices(image);
  if (bits == 1) {
    MaskBilevel(image, grey[0] < threshold, grey[1] < threshold, data, wpl);
    return mask;
  }
  TIndexTable ink{};
  for (std::size_t i = 0; i < ink.size(); ++i) ink[i] = grey[i] < threshold ? 1 : 0;
  const int inkLevels = bits == 8 ? InkPrefixLength(ink) : -1;
  if (inkLevels == 0) {  // no ink at all
    pixClearAll(mask.get());
    return mask;
  }
#ifdef __SSE2__
  if (inkLevels > 0 && inkLevels < 256)
    MaskGreyBelow(image, inkLevels, data, wpl);
  else if (bits == 8)
#else
  if (bits == 8)
#endif
    MaskGrey(image, ink, data, wpl);
  else
    MaskPixels(image, data, wpl,
               [&](const std::uint8_t* row, int x) { return ink[GetIndex(row, x, bits)] != 0; });
  return mask;
}

}  // namespace omniocr
