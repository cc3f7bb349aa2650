#include <cstring>

#include "imaging/pixel_access.h"
#include "imaging/reader_support.h"
#include "imaging/readers.h"

namespace omniocr {

namespace {

// The header tokens and plain-format samples: decimal numbers separated by
// white space, with comments from '#' to the end of the line.
class TPnmScanner {
 public:
  TPnmScanner(const std::uint8_t* data, std::size_t size) : Data(data), Size(size) {}

  std::uint64_t Number() {
    SkipSpaceAndComments();
    if (Pos >= Size) throw EImageError("truncated PNM data");
    if (Data[Pos] < '0' || Data[Pos] > '9') throw EImageError("corrupt PNM data: a number expected");
    std::uint64_t value = 0;
    while (Pos < Size && Data[Pos] >= '0' && Data[Pos] <= '9') {
      value = value * 10 + (Data[Pos++] - '0');
      if (value > 0xFFFFFFFFu) throw EImageError("corrupt PNM data: number out of range");
    }
    return value;
  }

  // A plain bitmap's sample is one digit, with or without separators.
  unsigned Bit() {
    SkipSpaceAndComments();
    if (Pos >= Size) throw EImageError("truncated PNM data");
    const std::uint8_t c = Data[Pos++];
    if (c != '0' && c != '1') throw EImageError("corrupt PNM data: a 0 or 1 expected");
    return c - '0';
  }

  // Raw data starts after exactly one white-space byte following the header.
  std::size_t RawStart() {
    if (Pos >= Size) throw EImageError("truncated PNM data");
    return Pos + 1;
  }
  std::size_t Remaining() const { return Size - Pos; }

 private:
  void SkipSpaceAndComments() {
    while (Pos < Size) {
      const std::uint8_t c = Data[Pos];
      if (c == '#') {
        while (Pos < Size && Data[Pos] != '\n' && Data[Pos] != '\r') ++Pos;
      } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f') {
        ++Pos;
      } else {
        return;
      }
    }
  }
  const std::uint8_t* Data;
  std::size_t Size;
  std::size_t Pos = 2;
};

std::uint8_t Scale(std::uint64_t value, std::uint64_t maxValue) {
  if (value > maxValue) value = maxValue;
  return static_cast<std::uint8_t>((value * 255 + maxValue / 2) / maxValue);
}

// A raw row in the common forms, copied as a whole: bitmap rows with the bits
// turned over (PBM 1 is black, padding bits stay 0), and 8-bit grey or colour
// rows whose samples need no scaling. False for the other forms.
bool CopyPlainRow(const std::uint8_t* row, std::uint8_t* target, int w, int type, std::uint64_t maxValue) {
  if (type == 1) {
    const int whole = w / 8;
    for (int i = 0; i < whole; ++i) target[i] = static_cast<std::uint8_t>(~row[i]);
    if (w % 8 != 0) target[whole] = static_cast<std::uint8_t>(~row[whole] & (0xFF00u >> (w % 8)));
    return true;
  }
  if (maxValue != 255) return false;
  if (type == 2) {
    std::memcpy(target, row, static_cast<std::size_t>(w));
    return true;
  }
  for (int x = 0; x < w; ++x) {
    target[3 * x] = row[3 * x + 2];
    target[3 * x + 1] = row[3 * x + 1];
    target[3 * x + 2] = row[3 * x];
  }
  return true;
}

}  // namespace

TDibGraphic ReadPnm(const std::uint8_t* data, std::size_t size) {
  const int kind = data[1] - '0';  // 1..3 plain, 4..6 raw; bitmap, grey, colour
  const bool raw = kind >= 4;
  const int type = raw ? kind - 3 : kind;
  TPnmScanner scan(data, size);
  const std::uint64_t width = scan.Number(), height = scan.Number();
  const std::uint64_t maxValue = type == 1 ? 1 : scan.Number();
  if (maxValue == 0 || maxValue > 65535)
    throw EImageError("corrupt PNM data: maximum value " + std::to_string(maxValue));
  CheckImageSize(static_cast<std::int64_t>(width), static_cast<std::int64_t>(height), "PNM");
  const int w = static_cast<int>(width), h = static_cast<int>(height);
  const std::uint64_t channels = type == 3 ? 3 : 1;
  const std::uint64_t sampleBytes = maxValue > 255 ? 2 : 1;
  const std::uint64_t rowBytes = type == 1 ? (width + 7) / 8 : width * channels * sampleBytes;

  // Refuse a size that the data cannot hold before allocating the image: a
  // raw row needs its bytes, a plain sample at least one byte.
  const std::uint64_t needed = raw ? rowBytes * height : width * height * channels;
  if (needed > scan.Remaining()) throw EImageError("truncated PNM data");

  TDibGraphic image;
  image.SetSize(w, h, type == 1 ? 1 : type == 2 ? 8 : 24);
  if (raw) {
    const std::size_t start = scan.RawStart();
    if (start + rowBytes * height > size) throw EImageError("truncated PNM data");
    for (int y = 0; y < h; ++y) {
      const std::uint8_t* row = data + start + rowBytes * static_cast<std::uint64_t>(y);
      std::uint8_t* target = image.ScanLine(y);
      if (CopyPlainRow(row, target, w, type, maxValue)) continue;
      for (int x = 0; x < w; ++x) {
        if (type == 1) {
          SetIndex(target, x, 1, GetIndex(row, x, 1) ^ 1u);  // PBM 1 is black
          continue;
        }
        std::uint8_t v[3];
        for (std::uint64_t c = 0; c < channels; ++c) {
          const std::uint8_t* s = row + (static_cast<std::uint64_t>(x) * channels + c) * sampleBytes;
          v[c] = Scale(sampleBytes == 2 ? (s[0] << 8 | s[1]) : s[0], maxValue);
        }
        if (type == 2)
          target[x] = v[0];
        else
          SetColor24(target, x, MakeColor(v[0], v[1], v[2]));
      }
    }
    return image;
  }
  for (int y = 0; y < h; ++y) {
    std::uint8_t* target = image.ScanLine(y);
    for (int x = 0; x < w; ++x) {
      if (type == 1) {
        SetIndex(target, x, 1, scan.Bit() ^ 1u);
      } else if (type == 2) {
        target[x] = Scale(scan.Number(), maxValue);
      } else {
        const std::uint8_t r = Scale(scan.Number(), maxValue), g = Scale(scan.Number(), maxValue);
        SetColor24(target, x, MakeColor(r, g, Scale(scan.Number(), maxValue)));
      }
    }
  }
  return image;
}

}  // namespace omniocr
