#pragma once

// Scans of page rows eight bytes at a time: most of a page is paper, and a
// word of paper is passed over with a few operations instead of eight tests.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace omniocr {

namespace byte_scan {

constexpr std::uint64_t kHigh = 0x8080808080808080ull;
constexpr std::uint64_t kOnes = 0x0101010101010101ull;

inline std::uint64_t Load(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// The high bit of each byte of the result is set where the byte of x is below
// the byte of y (unsigned, lane by lane, no carries between lanes).
inline std::uint64_t LanesBelow(std::uint64_t x, std::uint64_t y) {
  const std::uint64_t lowAtLeast = (x | kHigh) - (y & ~kHigh);  // high bit: low 7 bits of x >= of y
  return ((~x & y) | (~(x ^ y) & ~lowAtLeast)) & kHigh;
}

// The high bit of each byte of the result is set where the byte of v has a
// mark (any of its three low bits).
inline std::uint64_t MarkedLanes(std::uint64_t v) { return ((v & (kOnes * 7u)) + kOnes * 0x7Fu) & kHigh; }

// The high bits of the lanes as eight bits, lane k (byte k of a little-endian
// load) in bit k.
inline unsigned HighBits(std::uint64_t lanes) {
  return static_cast<unsigned>(((lanes >> 7) * 0x0102040810204080ull) >> 56);
}

#if defined(__SSE2__)
// The lanes of sixteen pixel bytes that are paper at `limits` (the threshold
// in every lane): grey level, marks cleared, not below it.
inline __m128i PaperLanes(const std::uint8_t* p, __m128i limits) {
  const __m128i grey = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), _mm_set1_epi8(-8));
  return _mm_cmpeq_epi8(_mm_subs_epu8(limits, grey), _mm_setzero_si128());
}
#endif

}  // namespace byte_scan

// The ink of eight pixels (grey level, marks ignored, below `limits`, the
// threshold in every byte) as the eight low bits, pixel k in bit k.
inline unsigned InkBits8(const std::uint8_t* p, std::uint64_t limits) {
  if constexpr (std::endian::native == std::endian::little) {
    return byte_scan::HighBits(
        byte_scan::LanesBelow(byte_scan::Load(p) & (byte_scan::kOnes * 0xF8u), limits));
  } else {
    const unsigned limit = static_cast<unsigned>(limits & 0xFF);
    unsigned bits = 0;
    for (int k = 0; k < 8; ++k) bits |= static_cast<unsigned>((p[k] & 0xF8) < limit) << k;
    return bits;
  }
}

// The unmarked paper of eight pixels (not ink, no mark) in the same form.
inline unsigned UnmarkedPaperBits8(const std::uint8_t* p, std::uint64_t limits) {
  if constexpr (std::endian::native == std::endian::little) {
    using namespace byte_scan;
    const std::uint64_t v = Load(p);
    return HighBits(~(LanesBelow(v & (kOnes * 0xF8u), limits) | MarkedLanes(v)) & kHigh);
  } else {
    const unsigned limit = static_cast<unsigned>(limits & 0xFF);
    unsigned bits = 0;
    for (int k = 0; k < 8; ++k) bits |= static_cast<unsigned>((p[k] & 7) == 0 && p[k] >= limit) << k;
    return bits;
  }
}

// The pixels of row[0..n) passed before the first one of the class asked
// for, ink (grey level, marks ignored, below `threshold`) or paper; n (or 0
// for n < 0) when none is. Eight pixels at a time: a run of the other class
// is passed over a word at a time.
inline int PixelsBeforeClass(const std::uint8_t* row, int n, int threshold, bool ink) {
  const int limit = threshold & 0xFF;
  const std::uint64_t limits = byte_scan::kOnes * static_cast<std::uint64_t>(limit);
  const unsigned other = ink ? 0u : 0xFFu;  // the class passed over, as eight bits
  int k = 0;
  for (; k + 8 <= n; k += 8) {
    const unsigned hits = InkBits8(row + k, limits) ^ other;
    if (hits != 0) return k + std::countr_zero(hits);
  }
  for (; k < n; ++k)
    if (((row[k] & 0xF8) < limit) == ink) return k;
  return std::max(n, 0);
}

// A row of w pixels (at most 64) as bits, pixel k in bit k, eight at a time
// from `bits8` (InkBits8 or UnmarkedPaperBits8 with their limits); the last
// few pixels are read from a copy, so nothing past the row is touched.
template <class TBits8>
std::uint64_t RowBits(const std::uint8_t* row, int w, TBits8 bits8) {
  std::uint64_t bits = 0;
  int k = 0;
  for (; k + 8 <= w; k += 8) bits |= static_cast<std::uint64_t>(bits8(row + k)) << k;
  if (k < w) {
    std::uint8_t tail[8] = {};
    std::memcpy(tail, row + k, static_cast<std::size_t>(w - k));
    const unsigned keep = (1u << (w - k)) - 1;
    bits |= static_cast<std::uint64_t>(bits8(tail) & keep) << k;
  }
  return bits;
}

// Sixteen pixels at a time as bits, pixel k in bit k: ink (grey level below
// the threshold) or unmarked paper (no mark, not ink).
class TSixteenPixels {
 public:
  explicit TSixteenPixels(int threshold) : Limit(static_cast<unsigned>(threshold & 0xFF)) {
#if defined(__SSE2__)
    Limits = _mm_set1_epi8(static_cast<char>(Limit));
#endif
  }
  unsigned Ink(const std::uint8_t* p) const {
#if defined(__SSE2__)
    return ~static_cast<unsigned>(_mm_movemask_epi8(byte_scan::PaperLanes(p, Limits))) & 0xFFFFu;
#else
    const std::uint64_t limits = byte_scan::kOnes * Limit;
    return InkBits8(p, limits) | InkBits8(p + 8, limits) << 8;
#endif
  }
  unsigned UnmarkedPaper(const std::uint8_t* p) const {
#if defined(__SSE2__)
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i unmarked = _mm_cmpeq_epi8(_mm_and_si128(bytes, _mm_set1_epi8(7)), _mm_setzero_si128());
    const __m128i notBelow = _mm_cmpeq_epi8(_mm_subs_epu8(Limits, bytes), _mm_setzero_si128());
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(unmarked, notBelow)));
#else
    const std::uint64_t limits = byte_scan::kOnes * Limit;
    return UnmarkedPaperBits8(p, limits) | UnmarkedPaperBits8(p + 8, limits) << 8;
#endif
  }

 private:
  unsigned Limit;
#if defined(__SSE2__)
  __m128i Limits;
#endif
};

// A row of w pixels as bits in (w + 63) / 64 words, pixel k in bit k % 64 of
// word k / 64, sixteen at a time from `bits16`. The last few pixels come
// from the sixteen that end the row (or, in a row shorter than that, from a
// copy), so nothing past the row is read.
template <class TBits16>
[[gnu::always_inline]] inline void BitsOfRow(const std::uint8_t* row, int w, std::uint64_t* words,
                                             TBits16 bits16) {
  std::uint64_t word = 0;
  int k = 0;
  for (; k + 16 <= w; k += 16) {
    word |= static_cast<std::uint64_t>(bits16(row + k)) << (k & 63);
    if ((k & 63) == 48) {
      words[k >> 6] = word;
      word = 0;
    }
  }
  if (k < w) {
    unsigned tail;
    if (w >= 16) {
      tail = bits16(row + w - 16) >> (16 - (w - k));
    } else {
      std::uint8_t copy[16] = {};
      for (int i = 0; i < w; ++i) copy[i] = row[i];
      tail = bits16(copy) & ((1u << w) - 1);
    }
    word |= static_cast<std::uint64_t>(tail) << (k & 63);
  }
  if ((k & 63) != 0 || k < w) words[k >> 6] = word;
}

#if defined(__SSE2__)
namespace byte_scan {

// Clears the marks of sixteen bytes and gives the ink among them mark 7;
// returns their paper as bits, byte k in bit k (the ink is the rest: the
// callers turn sixty-four bits over at once).
inline unsigned MarkSixteenGivingPaper(std::uint8_t* bytes, __m128i limits) {
  __m128i* p = reinterpret_cast<__m128i*>(bytes);
  const __m128i grey = _mm_and_si128(_mm_loadu_si128(p), _mm_set1_epi8(-8));
  const __m128i paper = _mm_cmpeq_epi8(_mm_subs_epu8(limits, grey), _mm_setzero_si128());
  _mm_storeu_si128(p, _mm_or_si128(grey, _mm_andnot_si128(paper, _mm_set1_epi8(7))));
  return static_cast<unsigned>(_mm_movemask_epi8(paper));
}

// The runs that start or end among the pixels from column x whose ink is
// `bits` (sixty-four, or as many as `pixels` has bits): a run ended is handed
// to `run`, one still open is left in `start` (-1: none). A run starts or
// ends where a pixel differs from the one before it, so the runs come from
// the set bits of the changes, in pairs.
template <class TRun>
[[gnu::always_inline]] inline void RunsOfPixels(std::uint64_t bits, int x, int& start, TRun& run,
                                                std::uint64_t pixels = ~std::uint64_t{0}) {
  std::uint64_t changes = (bits ^ (bits << 1 | (start < 0 ? 0u : 1u))) & pixels;
  if (start >= 0 && changes != 0) {  // the open run ends first
    run(start, x + std::countr_zero(changes) - 1);
    changes &= changes - 1;
    start = -1;
  }
  while (changes != 0) {
    const int first = std::countr_zero(changes);
    changes &= changes - 1;
    if (changes == 0) {  // goes on past these pixels
      start = x + first;
      return;
    }
    run(x + first, x + std::countr_zero(changes) - 1);
    changes &= changes - 1;
  }
}

}  // namespace byte_scan
#endif

// Clears the marks of row[0..w), gives every ink byte (grey level below
// `threshold`) mark 7, and hands each run of ink to `run`(x0, x1), left to
// right: sixteen bytes at a time where the processor allows, and sixty-four
// bytes without ink outside a run (paper, as most of a page is) passed over
// in one test.
template <class TRun>
void MarkInkRuns(std::uint8_t* row, int w, int threshold, TRun run) {
  const int limit = threshold & 0xFF;
  int start = -1;  // the first column of the open run
  int x = 0;
#if defined(__SSE2__)
  const __m128i limits = _mm_set1_epi8(static_cast<char>(limit));
  for (; x + 64 <= w; x += 64) {
    const unsigned a = byte_scan::MarkSixteenGivingPaper(row + x, limits),
                   b = byte_scan::MarkSixteenGivingPaper(row + x + 16, limits),
                   c = byte_scan::MarkSixteenGivingPaper(row + x + 32, limits),
                   d = byte_scan::MarkSixteenGivingPaper(row + x + 48, limits);
    // Paper outside a run, as most of a page is: nothing starts here.
    if (start < 0 && (a & b & c & d) == 0xFFFFu) continue;
    const std::uint64_t bits =
        ~(a | std::uint64_t{b} << 16 | std::uint64_t{c} << 32 | std::uint64_t{d} << 48);
    // Ink inside a run: nothing ends here.
    if (start >= 0 && bits == ~std::uint64_t{0}) continue;
    byte_scan::RunsOfPixels(bits, x, start, run);
  }
  for (; x + 16 <= w; x += 16) {
    const unsigned bits = ~byte_scan::MarkSixteenGivingPaper(row + x, limits) & 0xFFFFu;
    if (bits == (start < 0 ? 0u : 0xFFFFu)) continue;
    byte_scan::RunsOfPixels(bits, x, start, run, 0xFFFFu);
  }
  if (x < w && w >= 16) {
    // The last few pixels from the sixteen that end the row: marking the
    // ones before them again leaves them as they are.
    const int rest = w - x;
    const unsigned bits = (~byte_scan::MarkSixteenGivingPaper(row + w - 16, limits) & 0xFFFFu) >> (16 - rest);
    byte_scan::RunsOfPixels(bits, x, start, run, (1u << rest) - 1);
    x = w;
  }
#endif
  for (; x < w; ++x) {
    const std::uint8_t grey = row[x] & 0xF8;
    const bool ink = grey < limit;
    row[x] = static_cast<std::uint8_t>(ink ? grey | 7 : grey);
    if (ink && start < 0) start = x;
    if (!ink && start >= 0) {
      run(start, x - 1);
      start = -1;
    }
  }
  if (start >= 0) run(start, w - 1);
}

// The ink bytes (grey level below the threshold, marks ignored) in columns
// [left, left + n) of rows `rowWidth` bytes long, added up row by row. With
// SSE2 sixteen bytes are compared at once and the paper lanes summed per
// lane, folded before a lane could pass 255; the last few columns come from
// sixteen bytes of the row that hold them, the other lanes masked out, so
// nothing outside the row is read.
class TInkColumnCounter {
 public:
  TInkColumnCounter(int left, int n, int rowWidth, int threshold)
      : Left(left), Width(n), Limit(threshold & 0xFF) {
#if defined(__SSE2__)
    const int whole = n / 16, rest = n % 16;
    WholeEnd = left + 16 * whole;
    if (rest == 0) {
      TailAt = -1;
    } else if (WholeEnd + 16 <= rowWidth) {
      TailAt = WholeEnd;  // the first `rest` lanes
      TailMask = Lanes(0, rest);
    } else if (left + n >= 16) {
      TailAt = left + n - 16;  // the last `rest` lanes
      TailMask = Lanes(16 - rest, 16);
    } else {
      TailAt = -2;  // a row too short for sixteen bytes: byte by byte
    }
    RowsPerFold = 255 / (whole + 1);
    Limits = _mm_set1_epi8(static_cast<char>(Limit));
#else
    (void)rowWidth;
#endif
  }

  void Add(const std::uint8_t* row) {
    Total += Width;
#if defined(__SSE2__)
    for (int x = Left; x < WholeEnd; x += 16) Counts = _mm_sub_epi8(Counts, PaperLanes(row + x));
    if (TailAt >= 0) Counts = _mm_sub_epi8(Counts, _mm_and_si128(PaperLanes(row + TailAt), TailMask));
    if (TailAt == -2) Paper += PaperBytes(row, WholeEnd, Left + Width);
    if (++RowsSinceFold == RowsPerFold) Fold();
#else
    Paper += PaperBytes(row, Left, Left + Width);
#endif
  }

  int Ink() {
#if defined(__SSE2__)
    Fold();
#endif
    return Total - Paper;
  }

 private:
  int PaperBytes(const std::uint8_t* row, int from, int to) const {
    int paper = 0;
    for (int x = from; x < to; ++x) paper += (row[x] & 0xF8) >= Limit ? 1 : 0;
    return paper;
  }

  int Left, Width;
  unsigned Limit;
  int Total = 0, Paper = 0;
#if defined(__SSE2__)
  static __m128i Lanes(int from, int to) {
    alignas(16) std::uint8_t lanes[16] = {};
    for (int k = from; k < to; ++k) lanes[k] = 0xFF;
    return _mm_load_si128(reinterpret_cast<const __m128i*>(lanes));
  }
  __m128i PaperLanes(const std::uint8_t* p) const { return byte_scan::PaperLanes(p, Limits); }
  void Fold() {
    const __m128i sums = _mm_sad_epu8(Counts, _mm_setzero_si128());
    Paper += _mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_unpackhi_epi64(sums, sums));
    Counts = _mm_setzero_si128();
    RowsSinceFold = 0;
  }
  int WholeEnd = 0, TailAt = -1, RowsPerFold = 1, RowsSinceFold = 0;
  __m128i TailMask = _mm_setzero_si128(), Limits = _mm_setzero_si128(), Counts = _mm_setzero_si128();
#endif
};

// out[0..n) is 1 where row[0..n) is ink (grey level below `threshold`,
// marks ignored) and 0 elsewhere; sixteen bytes at a time where the
// processor allows.
inline void InkClassesOf(const std::uint8_t* row, int n, int threshold, std::int8_t* out) {
  int x = 0;
#if defined(__SSE2__)
  const __m128i limits = _mm_set1_epi8(static_cast<char>(threshold & 0xFF));
  for (; x + 16 <= n; x += 16) {
    const __m128i paper = byte_scan::PaperLanes(row + x, limits);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_andnot_si128(paper, _mm_set1_epi8(1)));
  }
#endif
  for (; x < n; ++x) out[x] = (row[x] & 0xF8) < (threshold & 0xFF) ? 1 : 0;
}

// The first index in [from, to) whose byte is below `limit` (0 to 255), or `to`.
inline int FirstByteBelow(const std::uint8_t* row, int from, int to, int limit) {
  const std::uint64_t limits = byte_scan::kOnes * static_cast<std::uint64_t>(limit & 0xFF);
  int x = from;
  for (; x + 8 <= to; x += 8)
    if (byte_scan::LanesBelow(byte_scan::Load(row + x), limits) != 0) break;
  for (; x < to; ++x)
    if (row[x] < limit) return x;
  return to;
}

// The first index in [from, to) whose byte is not below `limit`, or `to`.
inline int FirstByteNotBelow(const std::uint8_t* row, int from, int to, int limit) {
  const std::uint64_t limits = byte_scan::kOnes * static_cast<std::uint64_t>(limit & 0xFF);
  int x = from;
  for (; x + 8 <= to; x += 8)
    if (byte_scan::LanesBelow(byte_scan::Load(row + x), limits) != byte_scan::kHigh) break;
  for (; x < to; ++x)
    if (row[x] >= limit) return x;
  return to;
}

// Whether a byte of p[0..n) lies in [lo, hi) (0 <= lo < hi <= 256).
inline bool AnyByteIn(const std::uint8_t* p, int n, int lo, int hi) {
  if (hi - lo >= 256) return n > 0;
  int x = 0;
#if defined(__SSE2__)
  const __m128i low = _mm_set1_epi8(static_cast<char>(lo));
  const __m128i span = _mm_set1_epi8(static_cast<char>(hi - lo));
  for (; x + 16 <= n; x += 16) {
    // b - lo (wrapping) is below hi - lo exactly for the bytes in range.
    const __m128i offset = _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + x)), low);
    const __m128i inside = _mm_subs_epu8(span, offset);
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(inside, _mm_setzero_si128())) != 0xFFFF) return true;
  }
#endif
  for (; x < n; ++x)
    if (p[x] >= lo && p[x] < hi) return true;
  return false;
}

// Clears the three low bits of every byte of row[from..to).
inline void ClearLowBits(std::uint8_t* row, int from, int to) {
  constexpr std::uint64_t kKeep = byte_scan::kOnes * 0xF8u;
  int x = from;
  for (; x + 8 <= to; x += 8) {
    const std::uint64_t v = byte_scan::Load(row + x) & kKeep;
    std::memcpy(row + x, &v, sizeof v);
  }
  for (; x < to; ++x) row[x] &= 0xF8;
}

// dst[0..n) = src[0..n) with the three low bits of every byte cleared.
inline void CopyClearingLowBits(std::uint8_t* dst, const std::uint8_t* src, int n) {
  constexpr std::uint64_t kKeep = byte_scan::kOnes * 0xF8u;
  int x = 0;
  for (; x + 8 <= n; x += 8) {
    const std::uint64_t v = byte_scan::Load(src + x) & kKeep;
    std::memcpy(dst + x, &v, sizeof v);
  }
  for (; x < n; ++x) dst[x] = static_cast<std::uint8_t>(src[x] & 0xF8);
}

// Every byte of row[0..n) (n at most 64) whose bit in `marked` is set gets
// mark 1; every other byte becomes `paper`.
inline void KeepMarkedBytes(std::uint8_t* row, int n, std::uint64_t marked, std::uint8_t paper) {
  const std::uint64_t papers = byte_scan::kOnes * paper;
  int x = 0;
  for (; x + 8 <= n; x += 8) {
    // Bit k of the eight spread to lane k, then widened to the whole lane.
    const std::uint64_t bits = (marked >> x & 0xFF) * byte_scan::kOnes & 0x8040201008040201ull;
    const std::uint64_t lanes =
        ((((bits + byte_scan::kOnes * 0x7Fu) | bits) & byte_scan::kHigh) >> 7) * 0xFFu;
    const std::uint64_t v = byte_scan::Load(row + x);
    const std::uint64_t result = ((v | byte_scan::kOnes) & lanes) | (papers & ~lanes);
    std::memcpy(row + x, &result, sizeof result);
  }
  for (; x < n; ++x) row[x] = (marked >> x & 1) != 0 ? static_cast<std::uint8_t>(row[x] | 1) : paper;
}

// Every byte of row[0..n) whose three low bits are 0 becomes `value`.
inline void SetUnmarkedBytes(std::uint8_t* row, int n, std::uint8_t value) {
  const std::uint64_t values = byte_scan::kOnes * value;
  int x = 0;
  for (; x + 8 <= n; x += 8) {
    const std::uint64_t v = byte_scan::Load(row + x);
    const std::uint64_t unmarkedLanes = ((byte_scan::MarkedLanes(v) ^ byte_scan::kHigh) >> 7) * 0xFFu;
    const std::uint64_t result = (v & ~unmarkedLanes) | (values & unmarkedLanes);
    std::memcpy(row + x, &result, sizeof result);
  }
  for (; x < n; ++x)
    if ((row[x] & 7) == 0) row[x] = value;
}

}  // namespace omniocr
