#include <sys/uio.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

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

// What the header says: the form, the size and how the samples are stored.
struct TPnmLayout {
  bool Raw = false;
  int Type = 0;  // 1 bitmap, 2 grey, 3 colour
  int Width = 0, Height = 0;
  std::uint64_t MaxValue = 0, Channels = 1, SampleBytes = 1, RowBytes = 0;
  int BitCount() const { return Type == 1 ? 1 : Type == 2 ? 8 : 24; }
  // Raw grey rows of 8-bit samples are the image's rows as they are.
  bool RowsAsStored() const { return Raw && Type == 2 && MaxValue == 255; }
};

TPnmLayout ReadHeader(const std::uint8_t* data, TPnmScanner& scan) {
  TPnmLayout layout;
  const int kind = data[1] - '0';  // 1..3 plain, 4..6 raw; bitmap, grey, colour
  layout.Raw = kind >= 4;
  layout.Type = layout.Raw ? kind - 3 : kind;
  const std::uint64_t width = scan.Number(), height = scan.Number();
  layout.MaxValue = layout.Type == 1 ? 1 : scan.Number();
  if (layout.MaxValue == 0 || layout.MaxValue > 65535)
    throw EImageError("corrupt PNM data: maximum value " + std::to_string(layout.MaxValue));
  CheckImageSize(static_cast<std::int64_t>(width), static_cast<std::int64_t>(height), "PNM");
  layout.Width = static_cast<int>(width);
  layout.Height = static_cast<int>(height);
  layout.Channels = layout.Type == 3 ? 3 : 1;
  layout.SampleBytes = layout.MaxValue > 255 ? 2 : 1;
  layout.RowBytes = layout.Type == 1 ? (width + 7) / 8 : width * layout.Channels * layout.SampleBytes;
  return layout;
}

void DecodeRawRow(const std::uint8_t* row, std::uint8_t* target, const TPnmLayout& l) {
  if (CopyPlainRow(row, target, l.Width, l.Type, l.MaxValue)) return;
  for (int x = 0; x < l.Width; ++x) {
    if (l.Type == 1) {
      SetIndex(target, x, 1, GetIndex(row, x, 1) ^ 1u);  // PBM 1 is black
      continue;
    }
    std::uint8_t v[3];
    for (std::uint64_t c = 0; c < l.Channels; ++c) {
      const std::uint8_t* s = row + (static_cast<std::uint64_t>(x) * l.Channels + c) * l.SampleBytes;
      v[c] = Scale(l.SampleBytes == 2 ? (s[0] << 8 | s[1]) : s[0], l.MaxValue);
    }
    if (l.Type == 2)
      target[x] = v[0];
    else
      SetColor24(target, x, MakeColor(v[0], v[1], v[2]));
  }
}

// Rows of the file from `offset` read straight into the image's rows, many
// rows to a call: no copy through the stream's buffer.
void ReadRowsAt(int fd, std::uint64_t offset, std::size_t rowBytes, TDibGraphic& image) {
  constexpr int kRowsPerCall = 256;
  iovec parts[kRowsPerCall];
  const int height = image.Height();
  int y = 0;
  std::size_t done = 0;  // bytes of row y already read
  while (y < height) {
    const int count = std::min(kRowsPerCall, height - y);
    for (int i = 0; i < count; ++i) {
      const std::size_t skip = i == 0 ? done : 0;
      parts[i] = {image.ScanLine(y + i) + skip, rowBytes - skip};
    }
    const ssize_t got = preadv(fd, parts, count, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw EImageError(std::strerror(errno));
    if (got == 0) throw EImageError("truncated PNM data");
    offset += static_cast<std::uint64_t>(got);
    done += static_cast<std::size_t>(got);
    y += static_cast<int>(done / rowBytes);
    done %= rowBytes;
  }
}

}  // namespace

TDibGraphic ReadPnm(const std::uint8_t* data, std::size_t size) {
  TPnmScanner scan(data, size);
  const TPnmLayout layout = ReadHeader(data, scan);
  const int type = layout.Type, w = layout.Width, h = layout.Height;
  const std::uint64_t maxValue = layout.MaxValue, rowBytes = layout.RowBytes;

  // Refuse a size that the data cannot hold before allocating the image: a
  // raw row needs its bytes, a plain sample at least one byte.
  const std::uint64_t needed =
      layout.Raw ? rowBytes * static_cast<std::uint64_t>(h)
                 : static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h) * layout.Channels;
  if (needed > scan.Remaining()) throw EImageError("truncated PNM data");

  TDibGraphic image;
  image.SetSize(w, h, layout.BitCount());
  if (layout.Raw) {
    const std::size_t start = scan.RawStart();
    if (start + rowBytes * static_cast<std::uint64_t>(h) > size) throw EImageError("truncated PNM data");
    for (int y = 0; y < h; ++y)
      DecodeRawRow(data + start + rowBytes * static_cast<std::uint64_t>(y), image.ScanLine(y), layout);
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

std::optional<TDibGraphic> ReadRawPnmFile(const std::uint8_t* head, std::size_t headSize,
                                          std::uint64_t fileSize, std::FILE* file) {
  if (headSize < 3 || head[1] < '4') return std::nullopt;
  TPnmLayout layout;
  std::size_t start = 0;
  try {
    TPnmScanner scan(head, headSize);
    layout = ReadHeader(head, scan);
    start = scan.RawStart();
  } catch (const EImageError&) {
    return std::nullopt;  // a fault, or a header longer than the head: read whole
  }
  const std::uint64_t rowBytes = layout.RowBytes;
  if (start + rowBytes * static_cast<std::uint64_t>(layout.Height) > fileSize) return std::nullopt;

  // Every row is written whole, as read or decoded. Raw grey rows are stored
  // bottom row first, as the engine takes them.
  TDibGraphic image;
  const bool direct = layout.RowsAsStored();
  image.SetSizeForOverwrite(layout.Width, layout.Height, layout.BitCount(),
                            direct ? TDibGraphic::TRowOrder::BottomFirst : TDibGraphic::TRowOrder::TopFirst);
  if (direct) {
    ReadRowsAt(fileno(file), start, rowBytes, image);
    return image;
  }
  if (std::fseek(file, static_cast<long>(start), SEEK_SET) != 0) throw EImageError(std::strerror(errno));
  std::vector<std::uint8_t> row(rowBytes);
  for (int y = 0; y < layout.Height; ++y) {
    if (std::fread(row.data(), 1, rowBytes, file) != rowBytes)
      throw EImageError(std::ferror(file) ? std::strerror(errno) : "truncated PNM data");
    DecodeRawRow(row.data(), image.ScanLine(y), layout);
  }
  return image;
}

}  // namespace omniocr
