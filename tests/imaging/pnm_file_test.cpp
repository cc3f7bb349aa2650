// A raw PNM file is read from the file row by row (raw grey rows straight
// into the image, many at a time); every other case is read whole. Either
// way a file must read exactly as its bytes in memory do: the same image, or
// the same refusal.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>

#include "imaging/image_fixtures.h"
#include "imaging/image_io.h"

namespace omniocr {
namespace {

using namespace omniocr::test;

class TTempFile {
 public:
  explicit TTempFile(const TBytes& bytes) {
    char path[] = "/tmp/omniocr-pnm-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) throw std::runtime_error("no temporary file");
    const bool written = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    close(fd);
    Path = path;
    if (!written) throw std::runtime_error("temporary file not written");
  }
  ~TTempFile() { std::remove(Path.c_str()); }
  std::string Path;
};

// What reading gives: the image's layout, palette and rows, or the error.
std::string Outcome(const std::function<TDibGraphic()>& read) {
  try {
    const TDibGraphic g = read();
    std::string text = std::to_string(g.Width()) + "x" + std::to_string(g.Height()) + "x" +
                       std::to_string(g.BitCount()) + " dpi " + std::to_string(g.XDpi) + "," +
                       std::to_string(g.YDpi) + " palette";
    for (const std::uint32_t entry : g.Palette()) text += " " + std::to_string(entry);
    for (int y = 0; y < g.Height(); ++y)
      text.append(reinterpret_cast<const char*>(g.ScanLine(y)), static_cast<std::size_t>(g.Stride()));
    return text;
  } catch (const EImageError& e) {
    return std::string("error: ") + e.what();
  }
}

void ExpectFileReadsAsMemory(const TBytes& bytes, const std::string& what, int imageNumber = 1) {
  const TTempFile file(bytes);
  const std::string fromMemory =
      Outcome([&] { return ReadImageMemory(bytes.data(), bytes.size(), imageNumber); });
  const std::string fromFile = Outcome([&] { return ReadImageFile(file.Path, imageNumber); });
  EXPECT_EQ(fromFile, fromMemory) << what;
}

TBytes Pnm(const std::string& header, std::size_t dataBytes) {
  TBytes bytes = FromString(header);
  for (std::size_t i = 0; i < dataBytes; ++i) bytes.push_back(static_cast<std::uint8_t>(i * 37 + 11));
  return bytes;
}

TEST(PnmFile, ReadsAsTheSameBytesInMemory) {
  // 13 pixels: rows need padding and bitmap rows end inside a byte.
  const struct {
    std::string header;
    std::size_t dataBytes;
  } cases[] = {
      {"P5 13 5 255\n", 13 * 5},
      {"P5 13 5 255\n", 13 * 5 + 100},  // bytes after the last row are ignored
      {"P5 12 5 255\n", 12 * 5},        // rows without padding
      {"P5 13 700 255\n", 13 * 700},    // more rows than one read takes
      {"P5 13 700 255\n", 13 * 700 - 1},
      {"P5 13 5 1000\n", 2 * 13 * 5},
      {"P5 13 5 15\n", 13 * 5},
      {"P4 13 5\n", 2 * 5},
      {"P6 13 5 255\n", 3 * 13 * 5},
      {"P6 13 5 65535\n", 6 * 13 * 5},
      {"P2 3 1 255\n1 2 3\n", 0},
      {"P5\n# a comment\n13 5\n255\n", 13 * 5},
      {"P5 13 5 255\n", 13 * 5 - 1},  // one byte short
      {"P5 13 5 255\n", 0},
      {"P5 13 5 0\n", 13 * 5},
      {"P5 0 5 255\n", 13 * 5},
      {"P5 13 5 255", 0},  // no byte after the header
      {"P6 13 5", 0},
  };
  for (const auto& c : cases) ExpectFileReadsAsMemory(Pnm(c.header, c.dataBytes), c.header);
}

// The file's first kilobyte decides whether it is read row by row; a header
// that reaches or crosses its end is read whole.
TEST(PnmFile, HeadersAroundTheFirstKilobyte) {
  for (const std::size_t headerBytes : {1020u, 1022u, 1023u, 1024u, 1025u, 1026u, 1030u, 1200u}) {
    const std::string tail = "\n1300 2\n255\n";
    const std::string comment = "P5\n#" + std::string(headerBytes - 4 - tail.size(), 'c');
    const std::string header = comment + tail;
    ASSERT_EQ(header.size(), headerBytes);
    ExpectFileReadsAsMemory(Pnm(header, 1300 * 2), "header of " + std::to_string(headerBytes) + " bytes");
  }
}

TEST(PnmFile, OtherImageNumbersAreRefusedAsBefore) {
  ExpectFileReadsAsMemory(Pnm("P5 13 5 255\n", 13 * 5), "image 2", 2);
  ExpectFileReadsAsMemory(Pnm("P5 13 5 255\n", 13 * 5), "image 0", 0);
}

TEST(PnmFile, AnEmptyFileIsRefusedAsBefore) { ExpectFileReadsAsMemory({}, "empty"); }

}  // namespace
}  // namespace omniocr
