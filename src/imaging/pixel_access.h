#pragma once

// Pixel access on TDibGraphic rows for the transforms and readers: palette
// indices in 1-, 4- and 8-bit rows, colours as blue | green << 8 | red << 16
// (the colour-table layout), and grey levels.

#include <cstdint>
#include <vector>

namespace omniocr {

inline unsigned GetIndex(const std::uint8_t* row, int x, int bitCount) {
  switch (bitCount) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4: return (x & 1) ? row[x >> 1] & 0x0Fu : row[x >> 1] >> 4;
    default: return row[x];
  }
}

inline void SetIndex(std::uint8_t* row, int x, int bitCount, unsigned value) {
  switch (bitCount) {
    case 1: {
      const std::uint8_t bit = static_cast<std::uint8_t>(0x80u >> (x & 7));
      row[x >> 3] = value ? static_cast<std::uint8_t>(row[x >> 3] | bit)
                          : static_cast<std::uint8_t>(row[x >> 3] & ~bit);
      break;
    }
    case 4: {
      std::uint8_t& b = row[x >> 1];
      b = (x & 1) ? static_cast<std::uint8_t>((b & 0xF0u) | (value & 0x0Fu))
                  : static_cast<std::uint8_t>((b & 0x0Fu) | ((value & 0x0Fu) << 4));
      break;
    }
    default: row[x] = static_cast<std::uint8_t>(value);
  }
}

inline std::uint32_t MakeColor(unsigned red, unsigned green, unsigned blue) {
  return (blue & 0xFFu) | ((green & 0xFFu) << 8) | ((red & 0xFFu) << 16);
}
inline unsigned RedOf(std::uint32_t color) { return (color >> 16) & 0xFFu; }
inline unsigned GreenOf(std::uint32_t color) { return (color >> 8) & 0xFFu; }
inline unsigned BlueOf(std::uint32_t color) { return color & 0xFFu; }

// Luminance of a colour, rounded (ITU-R BT.601 weights).
inline unsigned GreyOf(std::uint32_t color) {
  return (299u * RedOf(color) + 587u * GreenOf(color) + 114u * BlueOf(color) + 500u) / 1000u;
}

inline std::uint32_t GreyColor(unsigned grey) { return MakeColor(grey, grey, grey); }

// The colour of pixel x of a row of any of the four bit counts.
inline std::uint32_t GetColor(const std::uint8_t* row, int x, int bitCount,
                              const std::vector<std::uint32_t>& palette) {
  if (bitCount == 24) {
    const std::uint8_t* p = row + 3 * x;
    return MakeColor(p[2], p[1], p[0]);
  }
  const unsigned index = GetIndex(row, x, bitCount);
  return index < palette.size() ? palette[index] & 0xFFFFFFu : 0u;
}

inline void SetColor24(std::uint8_t* row, int x, std::uint32_t color) {
  std::uint8_t* p = row + 3 * x;
  p[0] = static_cast<std::uint8_t>(BlueOf(color));
  p[1] = static_cast<std::uint8_t>(GreenOf(color));
  p[2] = static_cast<std::uint8_t>(RedOf(color));
}

// A table of n grey steps from black to white (2 → black, white; 256 → ramp).
std::vector<std::uint32_t> GreyRampPalette(int entries);

// True when entry i of the table is the grey (i, i, i) for all 256 entries.
bool IsGreyRamp(const std::vector<std::uint32_t>& palette);

// True for the table of a black/white image: two entries, black then white
// (their reserved bytes aside).
bool IsBlackWhite(const std::vector<std::uint32_t>& palette);

// The index of the lightest entry of a table (the first of equals), the
// paper of an indexed image; 0 for an empty table.
int LightestEntry(const std::vector<std::uint32_t>& palette);

}  // namespace omniocr
