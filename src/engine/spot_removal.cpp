// Spot removal: deletes records with few ink pixels and paints their boxes
// white, then fills single-pixel pin holes inside large characters.

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <memory>
#include <numeric>
#include <vector>

#include "engine/byte_scan.h"
#include "engine/classify/bit_spans.h"
#include "engine/omnifont_ocr.h"
#include "engine/page_marks.h"

namespace omniocr {

namespace {

int InkPixelsInBox(const TDIB& page, const TOCRChar& c, int threshold) {
  TInkColumnCounter counter(c.Left, c.Width(), page.Width(), threshold);
  for (int y = c.Top; y <= c.Bottom; ++y) counter.Add(page.Row(y));
  return counter.Ink();
}

// Whether each record's box shares a pixel with another record's box: the
// boxes in the order of their left edges, each compared with those that
// start within its columns.
std::vector<bool> BoxesMeetingAnother(const TCharList& chars) {
  const int n = chars.Count();
  std::vector<int> byLeft(static_cast<std::size_t>(n));
  std::iota(byLeft.begin(), byLeft.end(), 0);
  std::sort(byLeft.begin(), byLeft.end(), [&chars](int a, int b) { return chars[a]->Left < chars[b]->Left; });
  std::vector<bool> meets(static_cast<std::size_t>(n), false);
  for (int a = 0; a < n; ++a) {
    const TOCRChar& p = *chars[byLeft[static_cast<std::size_t>(a)]];
    for (int b = a + 1; b < n; ++b) {
      const TOCRChar& q = *chars[byLeft[static_cast<std::size_t>(b)]];
      if (q.Left > p.Right) break;
      if (q.Top <= p.Bottom && p.Top <= q.Bottom)
        meets[static_cast<std::size_t>(byLeft[static_cast<std::size_t>(a)])] =
            meets[static_cast<std::size_t>(byLeft[static_cast<std::size_t>(b)])] = true;
    }
  }
  return meets;
}

// The ink of the n pixels (at most 64) from (x0, y) as bits, pixel k in bit
// k; inlined, since it runs for every row of every large character.
[[gnu::always_inline]] inline std::uint64_t InkOfRow(const TDIB& page, int x0, int y, int n,
                                                     const TSixteenPixels& pixels) {
  std::uint64_t bits = 0;
  BitsOfRow(page.Row(y) + x0, n, &bits, [&pixels](const std::uint8_t* p) { return pixels.Ink(p); });
  return bits;
}

// Fills every paper pixel inside the record's box (not on its edge) whose
// four neighbours are ink, and counts it as ink. A filled pixel's neighbours
// were ink already, so no fill changes another test: each row is tested as
// a word, up to 62 columns at a time.
void FillPinHoles(TDIB& page, TOCRChar& c, int threshold) {
  const TSixteenPixels pixels(threshold);
  for (int x0 = c.Left; x0 + 1 <= c.Right - 1; x0 += 62) {
    const int n = std::min(64, c.Right - x0 + 1);
    const std::uint64_t inner = bit_spans::LowBits(n - 1) & ~std::uint64_t{1};
    std::uint64_t above = InkOfRow(page, x0, c.Top, n, pixels),
                  here = InkOfRow(page, x0, c.Top + 1, n, pixels);
    for (int y = c.Top + 1; y <= c.Bottom - 1; ++y) {
      const std::uint64_t below = InkOfRow(page, x0, y + 1, n, pixels);
      std::uint64_t holes = ~here & here << 1 & here >> 1 & above & below & inner;
      above = here | holes;
      here = below;
      for (; holes != 0; holes &= holes - 1) {
        page.Row(y)[x0 + std::countr_zero(holes)] = 0;
        ++c.InkCount;
      }
    }
  }
}

// One hundredth of the mean box area of the characters, plus one. Rejected
// records (pictures, rules) stay out of the mean, so that a large picture
// does not raise the limit over dots and commas.
int AutomaticSpotSize(const TCharList& chars) {
  double widthSum = 0, heightSum = 0;
  int count = 0;
  for (int i = 0; i < chars.Count(); ++i) {
    const TOCRChar& c = *chars[i];
    if (c.IsRejected()) continue;
    widthSum += c.Width();
    heightSum += c.Height();
    ++count;
  }
  if (count == 0) return -1;
  return static_cast<int>(std::nearbyint((widthSum / count) * (heightSum / count) / 100.0)) + 1;
}

}  // namespace

void TOmnifontOCR::RemoveSpots() {
  if (SpotRemoval == srNone) return;
  TDIB& page = *Page;
  const int maxSpot = MaxSpotSize < 0 ? AutomaticSpotSize(Chars) : MaxSpotSize;
  // Every ink pixel belongs to one record's component, so a box that meets
  // no other box holds its own component's ink and no other: extraction
  // counted it. The others are counted in the page.
  const bool extracted = static_cast<int>(ExtractedInk.size()) == Chars.Count() &&
                         std::equal(ExtractedInk.begin(), ExtractedInk.end(), Chars.Storage().begin(),
                                    [](const TComponentInk& made, const std::unique_ptr<TOCRChar>& c) {
                                      return made.Describes(*c);
                                    });
  const std::vector<bool> meets = extracted ? BoxesMeetingAnother(Chars) : std::vector<bool>();
  for (int i = 0; i < Chars.Count(); ++i)
    Chars[i]->InkCount = extracted && !meets[static_cast<std::size_t>(i)]
                             ? ExtractedInk[static_cast<std::size_t>(i)].Ink
                             : InkPixelsInBox(page, *Chars[i], Threshold);
  ExtractedInk.clear();
  const int step = maxSpot / 16 + 1;

  // The whole-zone record of a single-character zone is never a spot.
  const bool keepAll = AreaType == atCharacter;
  // One pass over the list removes every record the predicate picks and keeps
  // the order of the others; `counted` sees each record that stays.
  auto removePass = [&](auto&& remove, auto&& counted) {
    auto& records = Chars.Storage();
    std::size_t kept = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
      TOCRChar& c = *records[i];
      if (remove(c)) {
        --CharCount;
        ++SpotsRemoved;
        WidthSum -= c.Width();
        HeightSum -= c.Height();
        for (int y = c.Top; y <= c.Bottom; ++y)
          for (int x = c.Left; x <= c.Right; ++x) SetPixelMasked(page, x, y, 0, 248);
        records[i].reset();
        continue;
      }
      counted(c);
      if (kept != i) records[kept] = std::move(records[i]);
      ++kept;
    }
    records.resize(kept);
  };

  if (!keepAll && SpotRemoval == srSmart) {
    int limit = step, previous = INT_MAX, current = INT_MAX - 1;
    for (;;) {
      previous = current;
      current = 0;
      removePass([&](const TOCRChar& c) { return c.InkCount <= limit - step; },
                 [&](const TOCRChar& c) { current += c.InkCount <= limit; });
      if (limit > maxSpot) break;
      limit += step;
      if (current >= previous) break;
    }
  } else if (!keepAll) {
    removePass([&](const TOCRChar& c) { return c.InkCount <= maxSpot; }, [](const TOCRChar&) {});
  }

  for (int i = 0; i < Chars.Count(); ++i) {
    TOCRChar& c = *Chars[i];
    if (c.Right - c.Left <= 16 || c.Bottom - c.Top <= 30) continue;
    FillPinHoles(page, c, Threshold);
  }
}

}  // namespace omniocr
