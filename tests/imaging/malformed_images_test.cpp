// Readers on damaged files: each must refuse with an EImageError, never
// crash, hang or allocate what a header merely claims.

#include <gtest/gtest.h>
#include <png.h>
#include <tiffio.h>
#include <zlib.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <new>
#include <random>

#include "imaging/image_fixtures.h"
#include "imaging/image_io.h"
#include "imaging/more_fixtures.h"

namespace omniocr {
namespace {

using namespace omniocr::test;

struct TFixture {
  const char* Name;
  TBytes Bytes;
  std::size_t CutAt = 0;  // where a truncated copy ends; 0 = two thirds
};

TBytes SmallPng() {
  TPngSpec s{5, 3, PNG_COLOR_TYPE_RGB, 8, false, {}, {}, TBytes(45, 90)};
  return EncodePng(s);
}
TBytes SmallTiff() {
  return EncodeTiff({{5, 3, 8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_LZW, false, {}, TBytes(15, 7)}});
}
TBytes SmallJpeg() { return EncodeJpeg(8, 8, 3, TBytes(192, 100)); }
TBytes SmallBmp() { return EncodeBmp({40, 5, 3, 24, 0, {}, {}, TBytes(48, 200)}); }
TBytes SmallPcx() {
  return EncodePcx(5, 3, 8, 1, 6, std::vector<TBytes>(3, TBytes(6, 1)), std::vector<std::uint8_t>(768, 9));
}
TBytes SmallIcon() {
  const TBytes bmp = EncodeBmp({40, 4, 8, 8, 0, {0, 0xFFFFFF}, {}, TBytes(16 + 16, 1)});
  return EncodeIcon({{4, 4, 8, TBytes(bmp.begin() + 14, bmp.end())}});
}
TBytes SmallPnm() { return FromString(std::string("P6 2 2 255\n") + std::string(12, 'x')); }
TBytes SmallGif() {
  TBytes indices;
  for (int i = 0; i < 30; ++i) indices.push_back(static_cast<std::uint8_t>(i % 3));
  return EncodeGif({6, 5, 0, 0, 6, 5, {0, 0, 0, 255, 255, 255, 9, 99, 199}, indices, true, 1});
}
TBytes SmallWebp() { return EncodeWebp(5, 3, 4, TBytes(60, 77)); }
TBytes SmallRle() { return EncodeBmp({40, 6, 2, 8, 1, {0, 0xFFFFFF}, {}, {6, 1, 0, 0, 2, 1, 0, 1}}); }

std::vector<TFixture> Fixtures() {
  return {{"PNG", SmallPng()},      {"TIFF", SmallTiff()}, {"JPEG", SmallJpeg()}, {"BMP", SmallBmp()},
          {"PCX", SmallPcx(), 131}, {"icon", SmallIcon()}, {"PNM", SmallPnm()},   {"RLE BMP", SmallRle()},
          {"GIF", SmallGif()},      {"WebP", SmallWebp()}};
}

void Put32BE(TBytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}
void Put32LE(TBytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A PNG whose header declares the size, with a valid checksum.
TBytes PngDeclaring(std::uint32_t width, std::uint32_t height) {
  TBytes b = SmallPng();
  Put32BE(b, 16, width);
  Put32BE(b, 20, height);
  Put32BE(b, 29, static_cast<std::uint32_t>(crc32(0, b.data() + 12, 17)));
  return b;
}

TBytes JpegDeclaring(std::uint16_t width, std::uint16_t height) {
  TBytes b = SmallJpeg();
  for (std::size_t i = 2; i + 9 < b.size(); ++i)
    if (b[i] == 0xFF && b[i + 1] == 0xC0) {
      b[i + 5] = static_cast<std::uint8_t>(height >> 8), b[i + 6] = static_cast<std::uint8_t>(height);
      b[i + 7] = static_cast<std::uint8_t>(width >> 8), b[i + 8] = static_cast<std::uint8_t>(width);
      break;
    }
  return b;
}

TBytes BmpDeclaring(std::uint32_t width, std::uint32_t height) {
  TBytes b = SmallBmp();
  Put32LE(b, 18, width);
  Put32LE(b, 22, height);
  return b;
}

TBytes PcxDeclaring(std::uint16_t xMax, std::uint16_t yMax) {
  TBytes b = SmallPcx();
  b[8] = static_cast<std::uint8_t>(xMax), b[9] = static_cast<std::uint8_t>(xMax >> 8);
  b[10] = static_cast<std::uint8_t>(yMax), b[11] = static_cast<std::uint8_t>(yMax >> 8);
  return b;
}

TBytes IconDeclaring(std::uint32_t width, std::uint32_t height) {
  TBytes b = SmallIcon();
  Put32LE(b, 22 + 4, width);
  Put32LE(b, 22 + 8, height);
  return b;
}

// A TIFF whose width and length tags (stored as shorts) are patched.
TBytes TiffDeclaring(std::uint16_t width, std::uint16_t height,
                     const TTiffPageSpec& page = {
                         4, 4, 8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE, false, {}, TBytes(16, 5)}) {
  TBytes b = EncodeTiff({page});
  const std::uint32_t ifd = b[4] | b[5] << 8 | b[6] << 16 | static_cast<std::uint32_t>(b[7]) << 24;
  const unsigned count = b[ifd] | b[ifd + 1] << 8;
  for (unsigned i = 0; i < count; ++i) {
    const std::size_t entry = ifd + 2 + 12 * i;
    const unsigned tag = b[entry] | b[entry + 1] << 8;
    const std::uint16_t value = tag == 256 ? width : tag == 257 ? height : 0;
    if ((tag == 256 || tag == 257) && b[entry + 2] == 3)
      b[entry + 8] = static_cast<std::uint8_t>(value), b[entry + 9] = static_cast<std::uint8_t>(value >> 8);
  }
  return b;
}

void ExpectRefused(const TBytes& bytes, const std::string& what, const std::string& fragment = "") {
  const auto start = std::chrono::steady_clock::now();
  try {
    ReadImageMemory(bytes.data(), bytes.size());
    ADD_FAILURE() << what << ": read without complaint";
  } catch (const EImageError& e) {
    EXPECT_NE(std::string(e.what()), "") << what;
    if (!fragment.empty()) {
      EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos) << what << ": " << e.what();
    }
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << what;
}

TEST(MalformedImages, HugeDeclaredSizesAreRefusedWithoutAllocating) {
  const TFixture cases[] = {
      {"PNG", PngDeclaring(100000, 100000)}, {"JPEG", JpegDeclaring(65000, 65000)},
      {"BMP", BmpDeclaring(100000, 100000)}, {"BMP negative", BmpDeclaring(0x80000000u, 0x80000000u)},
      {"PCX", PcxDeclaring(65535, 65535)},   {"icon", IconDeclaring(100000, 200000)},
      {"TIFF", TiffDeclaring(65535, 65535)}, {"PNM", FromString("P5 100000 100000 255\n")},
  };
  for (const TFixture& c : cases)
    ExpectRefused(c.Bytes, c.Name, c.Name == std::string("BMP negative") ? "" : "exceeds");
  // Within the pixel limit but far beyond what the data holds.
  ExpectRefused(PngDeclaring(20000, 20000), "PNG 20000", "truncated");
  ExpectRefused(FromString("P4 20000 20000\n"), "PNM 20000", "truncated");
  ExpectRefused(BmpDeclaring(20000, 20000), "BMP 20000", "truncated");
  // Lines of no planes hold no bytes: a page of any size would cost no data.
  TBytes noPlanes = PcxDeclaring(2815, 61000);
  noPlanes[3] = 1, noPlanes[65] = 0, noPlanes[66] = 0x60, noPlanes[67] = 0x01;
  ExpectRefused(noPlanes, "PCX without planes", "PCX with 0 planes");
  TBytes pcx = PcxDeclaring(19999, 19999);
  pcx[66] = 0x20, pcx[67] = 0x4E;  // 20000 bytes per line
  ExpectRefused(pcx, "PCX 20000", "truncated");
}

}  // namespace

// The largest single request to operator new, for the checks below that a
// reader refuses before it allocates what a header claims.
std::atomic<std::size_t> LargestRequest{0};

}  // namespace omniocr

namespace {
void* TrackedAllocation(std::size_t size) noexcept {
  std::size_t seen = omniocr::LargestRequest.load();
  while (size > seen && !omniocr::LargestRequest.compare_exchange_weak(seen, size)) {
  }
  return std::malloc(size ? size : 1);
}
}  // namespace

// Every form of operator new and delete is replaced, so that allocation and
// release always meet in malloc and free (as sanitizers check).
void* operator new(std::size_t size) {
  if (void* p = TrackedAllocation(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return TrackedAllocation(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return TrackedAllocation(size); }
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace omniocr {
namespace {

// A run-length coded 20000 x 20000 BMP of the given stream.
TBytes RleDeclaringHuge(int bitCount, const TBytes& stream) {
  TBytes b = EncodeBmp({40, 4, 4, bitCount, bitCount == 8 ? 1u : 2u, {0, 0xFFFFFF}, {}, stream});
  Put32LE(b, 18, 20000);
  Put32LE(b, 22, 20000);
  return b;
}

TEST(MalformedImages, LayoutsTheBytesCannotHoldAreRefusedBeforeAllocating) {
  TBytes pastEnd = SmallBmp();
  Put32LE(pastEnd, 10, 100000);  // pixel data said to start far past the end
  const TTiffPageSpec grey16{4, 4, 16, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE, false, {}, TBytes(32, 9)};
  const TTiffPageSpec tiled{16, 16, 8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE, true, {}, TBytes(256, 9)};
  const TTiffPageSpec deflated{
      4, 4, 8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_ADOBE_DEFLATE, false, {}, TBytes(16, 9)};
  const TFixture cases[] = {
      {"BMP pixels past the end", pastEnd},
      {"16-bit deflated TIFF",
       TiffDeclaring(
           20000, 20000,
           {4, 4, 16, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_ADOBE_DEFLATE, false, {}, TBytes(32, 9)})},
      {"RLE8 stream stopping short", RleDeclaringHuge(8, {255, 1, 255, 1})},
      {"RLE8 ending at once", RleDeclaringHuge(8, {0, 1})},
      {"RLE4 of a few rows", RleDeclaringHuge(4, {0, 0, 0, 0, 0, 2, 255, 255, 0, 1})},
      {"TIFF read by scan lines", TiffDeclaring(20000, 20000)},
      {"TIFF read through RGBA", TiffDeclaring(20000, 20000, grey16)},
      {"deflated TIFF", TiffDeclaring(20000, 20000, deflated)},
      {"JPEG", JpegDeclaring(20000, 20000)},
  };
  for (const TFixture& c : cases) {
    LargestRequest = 0;
    ExpectRefused(c.Bytes, c.Name, "truncated");
    EXPECT_LT(LargestRequest.load(), std::size_t{4} << 20) << c.Name;
  }
  // A tiled page grown this way loses its tile table, which libtiff refuses.
  LargestRequest = 0;
  ExpectRefused(TiffDeclaring(20000, 20000, tiled), "tiled TIFF");
  EXPECT_LT(LargestRequest.load(), std::size_t{4} << 20);
  // A short stream may still end a small page early: the rest is index 0.
  TBytes early = EncodeBmp({40, 300, 200, 8, 1, {0, 0xFFFFFF}, {}, {3, 1, 0, 1}});
  const TDibGraphic image = ReadImageMemory(early.data(), early.size());
  EXPECT_EQ(image.Width(), 300);
  EXPECT_EQ(image.Height(), 200);
}

TEST(MalformedImages, ZeroSizesWrongMagicAndTruncationAreRefused) {
  const TFixture zero[] = {
      {"PNG", PngDeclaring(0, 3)},   {"JPEG", JpegDeclaring(0, 8)},       {"BMP", BmpDeclaring(5, 0)},
      {"icon", IconDeclaring(0, 8)}, {"PNM", FromString("P5 0 4 255\n")}, {"PCX", PcxDeclaring(0xFFFF, 2)},
  };
  for (const TFixture& c : zero) ExpectRefused(c.Bytes, std::string("zero ") + c.Name);
  for (TFixture& c : Fixtures()) {
    const std::size_t cut = c.CutAt ? c.CutAt : c.Bytes.size() * 2 / 3;
    TBytes truncated(c.Bytes.begin(), c.Bytes.begin() + static_cast<std::ptrdiff_t>(cut));
    ExpectRefused(truncated, std::string("truncated ") + c.Name);
    TBytes wrong = c.Bytes;
    wrong[0] = 'X';
    wrong[1] = 'Y';
    ExpectRefused(wrong, std::string("wrong magic ") + c.Name, "unknown image format");
  }
  ExpectRefused({}, "empty", "empty file");
}

// Every prefix of each file and a few thousand deterministic byte changes:
// a read either succeeds or raises EImageError.
TEST(MalformedImages, PrefixesAndMutationsNeverCrash) {
  std::mt19937 random(12345);
  for (const TFixture& c : Fixtures()) {
    ASSERT_NO_THROW(ReadImageMemory(c.Bytes.data(), c.Bytes.size())) << c.Name;
    for (std::size_t n = 0; n < c.Bytes.size(); ++n) {
      try {
        ReadImageMemory(c.Bytes.data(), n);
      } catch (const EImageError&) {
      }
    }
    for (int trial = 0; trial < 200; ++trial) {
      TBytes mutated = c.Bytes;
      const int changes = 1 + static_cast<int>(random() % 4);
      for (int k = 0; k < changes; ++k)
        mutated[random() % mutated.size()] = static_cast<std::uint8_t>(random());
      try {
        ReadImageMemory(mutated.data(), mutated.size());
      } catch (const EImageError&) {
      }
    }
  }
}

TEST(MalformedImages, MissingFilesAndDirectoriesGiveTheSystemReason) {
  try {
    ReadImageFile("/nonexistent/page.png");
    ADD_FAILURE();
  } catch (const EImageError& e) {
    EXPECT_STREQ(e.what(), "No such file or directory");
  }
  EXPECT_THROW(ReadImageFile("/"), EImageError);
}

}  // namespace
}  // namespace omniocr
