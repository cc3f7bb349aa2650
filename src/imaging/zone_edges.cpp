#include "imaging/zone_edges.h"

#include <leptonica/allheaders.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "imaging/image_error.h"
#include "imaging/ink_mask.h"
#include "imaging/pixel_access.h"
#include "imaging/transforms.h"

namespace omniocr {

namespace {

// The ink of the zone's rows, with the row just outside each edge where the
// image has one: row r of the zone is row r + Above of Mask.
struct TZoneInk {
  TPixPtr Mask;
  int Above = 0;
  int Width = 0, Height = 0;
  bool At(int x, int r) const {
    const l_uint32* line =
        pixGetData(Mask.get()) + static_cast<std::ptrdiff_t>(r + Above) * pixGetWpl(Mask.get());
    return GET_DATA_BIT(line, x) != 0;
  }
};

// Ink on the edge row that touches ink on the row beyond it.
bool EdgeCutsInk(const TZoneInk& ink, int edgeRow, int outsideRow) {
  for (int x = 0; x < ink.Width; ++x) {
    if (!ink.At(x, edgeRow)) continue;
    for (int dx = -1; dx <= 1; ++dx)
      if (x + dx >= 0 && x + dx < ink.Width && ink.At(x + dx, outsideRow)) return true;
  }
  return false;
}

// Rows with no more ink than a few specks of noise count as blank.
std::vector<bool> BlankRows(const TZoneInk& ink) {
  const int tolerance = ink.Width / 500;
  std::vector<bool> blank(static_cast<std::size_t>(ink.Height));
  for (int r = 0; r < ink.Height; ++r) {
    int count = 0;
    for (int x = 0; x < ink.Width && count <= tolerance; ++x) count += ink.At(x, r) ? 1 : 0;
    blank[static_cast<std::size_t>(r)] = count <= tolerance;
  }
  return blank;
}

struct TComponent {
  int Left, Top, Width, Height;
  TPixPtr Pixels;
};

std::vector<TComponent> ZoneComponents(const TZoneInk& ink) {
  BOX* clip = boxCreate(0, ink.Above, ink.Width, ink.Height);
  const TPixPtr zone(pixClipRectangle(ink.Mask.get(), clip, nullptr));
  boxDestroy(&clip);
  std::vector<TComponent> components;
  if (!zone) return components;
  PIXA* pixa = nullptr;
  BOXA* boxa = pixConnCompPixa(zone.get(), &pixa, 8);
  const int n = boxa != nullptr && pixa != nullptr ? boxaGetCount(boxa) : 0;
  for (int i = 0; i < n; ++i) {
    l_int32 x = 0, y = 0, w = 0, h = 0;
    boxaGetBoxGeometry(boxa, i, &x, &y, &w, &h);
    components.push_back({x, y, w, h, TPixPtr(pixaGetPix(pixa, i, L_CLONE))});
  }
  boxaDestroy(&boxa);
  pixaDestroy(&pixa);
  return components;
}

// The size of the text: the median height of the components that no cut
// edge touches (cut pieces may outnumber whole characters); specks of one or
// two pixels say nothing about it.
int MedianHeight(const std::vector<TComponent>& components, int height, bool topCut, bool bottomCut) {
  std::vector<int> heights;
  for (const TComponent& c : components) {
    const bool cut = (topCut && c.Top == 0) || (bottomCut && c.Top + c.Height == height);
    if (!cut && (c.Width > 2 || c.Height > 2)) heights.push_back(c.Height);
  }
  if (heights.empty()) return 0;
  std::nth_element(heights.begin(), heights.begin() + static_cast<std::ptrdiff_t>(heights.size() / 2),
                   heights.end());
  return heights[heights.size() / 2];
}

struct TBand {
  int First = 0, Last = 0;
  int Middle() const { return (First + Last) / 2; }
};

// The blank band nearest to row `edge`, walking inward by `step` (+1 from the
// top, -1 from the bottom) and stopping before row `limit`; it must leave
// ink between itself and `limit`, or the zone would be left empty.
std::optional<TBand> NearestBand(const std::vector<bool>& blank, int edge, int step, int limit) {
  int r = edge + step;
  while (r != limit && !blank[static_cast<std::size_t>(r)]) r += step;
  if (r == limit) return std::nullopt;
  const int start = r;
  while (r + step != limit && blank[static_cast<std::size_t>(r + step)]) r += step;
  const int end = r;
  bool inkBeyond = false;
  for (int k = end + step; k != limit && !inkBeyond; k += step)
    inkBeyond = !blank[static_cast<std::size_t>(k)];
  if (!inkBeyond) return std::nullopt;
  return TBand{std::min(start, end), std::max(start, end)};
}

void ErasePiece(TDibGraphic& image, const TComponent& piece, int rowOffset) {
  const unsigned paper = image.BitCount() <= 8 ? static_cast<unsigned>(LightestEntry(image.Palette())) : 0;
  const l_int32 wpl = pixGetWpl(piece.Pixels.get());
  const l_uint32* data = pixGetData(piece.Pixels.get());
  for (int y = 0; y < piece.Height; ++y) {
    const int row = piece.Top + y - rowOffset;
    if (row < 0 || row >= image.Height()) continue;
    const l_uint32* line = data + static_cast<std::ptrdiff_t>(y) * wpl;
    for (int x = 0; x < piece.Width; ++x) {
      if (GET_DATA_BIT(line, x) == 0) continue;
      if (image.BitCount() == 24)
        SetColor24(image.ScanLine(row), piece.Left + x, 0xFFFFFFu);
      else
        SetIndex(image.ScanLine(row), piece.Left + x, image.BitCount(), paper);
    }
  }
}

TZoneInk InkOfZone(const TDibGraphic& image, const TZoneRect& zone) {
  TZoneInk ink;
  ink.Above = zone.Top > 0 ? 1 : 0;
  const int below = zone.Bottom < image.Height() ? 1 : 0;
  ink.Width = zone.Width();
  ink.Height = zone.Height();
  TDibGraphic framed;
  TCropTransform(zone.Left, zone.Top - ink.Above, zone.Right, zone.Bottom + below).ApplyOnDest(image, framed);
  ink.Mask = InkMask(framed);
  return ink;
}

}  // namespace

TZoneRect ClipZoneToImage(const TDibGraphic& image, TZoneRect zone) {
  zone.Left = std::max(zone.Left, 0);
  zone.Top = std::max(zone.Top, 0);
  zone.Right = std::min(zone.Right, image.Width());
  zone.Bottom = std::min(zone.Bottom, image.Height());
  if (zone.Left >= zone.Right || zone.Top >= zone.Bottom) throw EImageError("Invalid crop parameters");
  return zone;
}

TZoneCrop CropZoneClearOfCutLines(const TDibGraphic& image, TZoneRect zone) {
  zone = ClipZoneToImage(image, zone);
  const TZoneInk ink = InkOfZone(image, zone);
  const int height = ink.Height;
  const bool topCut = ink.Above == 1 && EdgeCutsInk(ink, 0, -1);
  const bool bottomCut = zone.Bottom < image.Height() && EdgeCutsInk(ink, height - 1, height);

  TZoneCrop result;
  int first = 0, last = height - 1;  // the zone's rows that are kept
  std::vector<TComponent> components;
  int median = 0;
  bool eraseAtTop = false, eraseAtBottom = false;
  if (topCut || bottomCut) {
    components = ZoneComponents(ink);
    median = MedianHeight(components, height, topCut, bottomCut);
    const std::vector<bool> blank = BlankRows(ink);
    // A piece beyond the band as tall as the text is a line that the edge
    // only grazes: the edge stays, and so do the line's clipped characters.
    if (topCut) {
      const std::optional<TBand> band = NearestBand(blank, 0, +1, height);
      if (band && band->First < median) first = band->Middle(), result.TopMoved = true;
      eraseAtTop = !band;
    }
    if (bottomCut) {
      const std::optional<TBand> band = NearestBand(blank, height - 1, -1, first);
      if (band && height - 1 - band->Last < median) last = band->Middle(), result.BottomMoved = true;
      eraseAtBottom = !band;
    }
  }
  result.Zone = {zone.Left, zone.Top + first, zone.Right, zone.Top + last + 1};
  TCropTransform(result.Zone.Left, result.Zone.Top, result.Zone.Right, result.Zone.Bottom)
      .ApplyOnDest(image, result.Image);

  for (const TComponent& c : components) {
    const bool atTop = eraseAtTop && c.Top == 0;
    const bool atBottom = eraseAtBottom && c.Top + c.Height == height;
    if ((atTop || atBottom) && 2 * c.Height < median) {
      ErasePiece(result.Image, c, first);
      ++result.ErasedPieces;
    }
  }
  return result;
}

}  // namespace omniocr
