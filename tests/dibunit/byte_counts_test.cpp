#include "dibunit/byte_counts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_bitmaps.h"

namespace omniocr {
namespace {

THistogram CountOneByOne(const std::uint8_t* bytes, std::size_t count) {
  THistogram counts{};
  for (std::size_t i = 0; i < count; ++i) ++counts[bytes[i]];
  return counts;
}

// Runs of equal bytes are counted sixty-four or sixteen at a time: runs that
// start and end anywhere in a stretch, change their value from stretch to
// stretch, or are too short for one must count as byte by byte.
TEST(ByteCounter, CountsAsOneByOne) {
  const struct {
    const char* what;
    std::vector<std::pair<int, std::uint8_t>> runs;  // length, value
  } cases[] = {
      {"nothing", {}},
      {"short", {{5, 255}}},
      {"one word", {{8, 255}}},
      {"a word and a byte", {{9, 0}}},
      {"words of two values", {{16, 255}, {16, 7}, {24, 255}}},
      {"runs across words", {{3, 255}, {13, 0}, {21, 255}, {1, 9}, {30, 255}}},
      {"value 0 first", {{16, 0}, {8, 255}, {8, 0}}},
      {"long runs", {{100, 255}, {3, 0}, {70, 255}, {64, 0}, {41, 255}}},
      {"a long run ending a byte short of a stretch", {{8, 255}, {31, 255}, {1, 4}, {40, 255}}},
      {"stretches of two values", {{32, 255}, {16, 0}, {48, 255}, {17, 0}, {15, 3}}},
      {"a stretch of a value after mixed bytes", {{5, 1}, {11, 2}, {16, 1}, {16, 2}}},
      {"scattered", {{1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 6}, {1, 7}, {1, 8}, {1, 9}}},
      {"sixty-fours of one value, then of another", {{64, 255}, {128, 0}, {64, 255}, {5, 255}}},
      {"a sixty-four a byte short", {{63, 255}, {1, 7}, {64, 255}, {64, 255}}},
      {"a new value inside a sixty-four, kept in the next", {{16, 255}, {48, 9}, {64, 9}, {20, 255}}},
  };
  for (const auto& c : cases)
    for (const std::size_t offset : {0u, 3u}) {  // rows need not start on a word
      std::vector<std::uint8_t> bytes(offset, 0xEE);
      for (const auto& [length, value] : c.runs)
        bytes.insert(bytes.end(), static_cast<std::size_t>(length), value);
      const std::size_t count = bytes.size() - offset;
      TByteCounter counter;
      counter.Add(bytes.data() + offset, count);
      counter.Add(bytes.data() + offset, count);  // counts add up over calls
      THistogram counts{};
      counts[255] = 1;  // and onto what the histogram holds
      counter.AddTo(counts);
      THistogram expected = CountOneByOne(bytes.data() + offset, count);
      for (std::uint64_t& n : expected) n *= 2;
      expected[255] += 1;
      EXPECT_EQ(counts, expected) << c.what << ", offset " << offset;
    }
}

// The histogram counts the pixels of each row, not the padding after them,
// and maps each byte through the table when it is no grey ramp.
TEST(Histogram, CountsPixelsNotPaddingInRunsAndThroughTheTable) {
  for (const int width : {13, 16, 37}) {
    auto dib = test::MakeGrey(width, 3, 255);
    for (int y = 0; y < dib->Height(); ++y) {
      std::uint8_t* row = dib->Row(y);
      for (int x = width; x < dib->Stride; ++x) row[x] = 0;
      for (int x = 2 + y; x < 11 + y && x < width; ++x) row[x] = 40;
    }
    std::uint64_t ink = 0;
    for (int y = 0; y < dib->Height(); ++y)
      for (int x = 0; x < width; ++x) ink += dib->PixelByte(x, y) == 40 ? 1 : 0;
    THistogram h;
    dib->Histogram(h);
    EXPECT_EQ(h[40], ink) << width;
    EXPECT_EQ(h[255], 3u * width - ink) << width;
    EXPECT_EQ(h[0], 0u) << width;
    dib->SetPaletteEntry(255, 0x00000080);
    dib->SetPaletteEntry(40, 0x00000081);
    dib->Histogram(h);
    EXPECT_EQ(h[0x81], ink) << width;
    EXPECT_EQ(h[0x80], 3u * width - ink) << width;
    EXPECT_EQ(h[255] + h[40], 0u) << width;
  }
}

}  // namespace
}  // namespace omniocr
