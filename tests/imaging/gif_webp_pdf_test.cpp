// GIF and WebP through giflib and libwebp, PDF pages through poppler, the
// searchable PDF writer read back with poppler, and the messages for files
// of formats that are not read.

#include <gtest/gtest.h>
#include <poppler-document.h>
#include <poppler-page.h>

#include <memory>

#include "imaging/image_io.h"
#include "imaging/module_loading.h"
#include "imaging/more_fixtures.h"
#include "imaging/pdf_module.h"
#include "imaging/pdf_writer.h"
#include "imaging/pixel_access.h"

namespace omniocr {
namespace {

using namespace omniocr::test;

TDibGraphic Read(const TBytes& bytes, int imageNumber = 1, int dpi = kDefaultRenderDpi) {
  return ReadImageMemory(bytes.data(), bytes.size(), imageNumber, dpi);
}

std::uint32_t ColorAt(const TDibGraphic& g, int x, int y) {
  return GetColor(g.ScanLine(y), x, g.BitCount(), g.Palette());
}

std::string ErrorOf(const TBytes& bytes, int imageNumber = 1, int dpi = kDefaultRenderDpi) {
  try {
    Read(bytes, imageNumber, dpi);
  } catch (const EImageError& e) {
    return e.what();
  }
  return "read without complaint";
}

TEST(GifReader, ReadsPalettesInterlacingTransparencyAndPlacement) {
  const std::vector<std::uint8_t> colours = {0, 0, 0, 255, 255, 255, 200, 30, 10, 90, 90, 90};
  const std::uint32_t table[] = {0, 0xFFFFFF, MakeColor(200, 30, 10), GreyColor(90)};
  constexpr int w = 7, h = 11;  // enough rows for all four interlace passes
  TBytes indices;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) indices.push_back(static_cast<std::uint8_t>((x + 2 * y) % 4));
  const struct {
    const char* Name;
    TGifSpec Spec;
  } cases[] = {
      {"plain", {w, h, 0, 0, w, h, colours, indices, false, -1}},
      {"interlaced", {w, h, 0, 0, w, h, colours, indices, true, -1}},
      {"transparent red", {w, h, 0, 0, w, h, colours, indices, false, 2}},
      {"placed on a larger screen", {w + 3, h + 2, 2, 1, w, h, colours, indices, false, -1}},
  };
  for (const auto& c : cases) {
    const TGifSpec& s = c.Spec;
    const TDibGraphic g = Read(EncodeGif(s));
    ASSERT_EQ(g.Width(), s.ScreenW) << c.Name;
    ASSERT_EQ(g.Height(), s.ScreenH) << c.Name;
    for (int y = 0; y < s.ScreenH; ++y)
      for (int x = 0; x < s.ScreenW; ++x) {
        const int ix = x - s.Left, iy = y - s.Top;
        std::uint32_t expected = 0xFFFFFF;  // paper around the image and under transparency
        if (ix >= 0 && iy >= 0 && ix < w && iy < h) {
          const int index = indices[static_cast<std::size_t>(iy * w + ix)];
          if (index != s.Transparent) expected = table[index];
        }
        ASSERT_EQ(ColorAt(g, x, y), expected) << c.Name << " at " << x << "," << y;
      }
  }
}

TEST(GifReader, BlackAndWhiteGifsReadAsBilevelOrGrey) {
  TBytes indices = {0, 1, 1, 0, 1, 0};
  const TDibGraphic g = Read(EncodeGif({3, 2, 0, 0, 3, 2, {0, 0, 0, 255, 255, 255}, indices, false, -1}));
  EXPECT_TRUE(g.BitCount() == 1 || (g.BitCount() == 8 && IsGreyRamp(g.Palette())));
  for (int i = 0; i < 6; ++i) EXPECT_EQ(ColorAt(g, i % 3, i / 3), indices[i] ? 0xFFFFFFu : 0u) << i;
}

TEST(WebpReader, ReadsLosslessColourAndCompositesAlphaOverWhite) {
  constexpr int w = 5, h = 3;
  TBytes rgb, rgba;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::uint8_t r = static_cast<std::uint8_t>(40 * x), g = static_cast<std::uint8_t>(70 * y),
                         b = 200;
      rgb.insert(rgb.end(), {r, g, b});
      rgba.insert(rgba.end(), {r, g, b, static_cast<std::uint8_t>(x == 0 ? 0 : 255)});
    }
  const TDibGraphic opaque = Read(EncodeWebp(w, h, 3, rgb));
  const TDibGraphic clear = Read(EncodeWebp(w, h, 4, rgba));
  for (const TDibGraphic* g : {&opaque, &clear}) {
    ASSERT_EQ(g->Width(), w);
    ASSERT_EQ(g->Height(), h);
  }
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::uint32_t colour = MakeColor(40 * x, 70 * y, 200);
      EXPECT_EQ(ColorAt(opaque, x, y), colour) << x << "," << y;
      EXPECT_EQ(ColorAt(clear, x, y), x == 0 ? 0xFFFFFFu : colour) << x << "," << y;
    }
}

TEST(GifAndWebpReaders, RefuseDamagedFiles) {
  const TBytes gif = EncodeGif({4, 4, 0, 0, 4, 4, {0, 0, 0, 255, 255, 255}, TBytes(16, 1), false, -1});
  const TBytes webp = EncodeWebp(4, 4, 3, TBytes(48, 128));
  for (const TBytes* file : {&gif, &webp}) {
    const TBytes truncated(file->begin(), file->begin() + static_cast<std::ptrdiff_t>(file->size() * 2 / 3));
    EXPECT_NE(ErrorOf(truncated).find("truncated"), std::string::npos) << ErrorOf(truncated);
    for (std::size_t n = 0; n < file->size(); ++n) {
      try {
        ReadImageMemory(file->data(), n);
      } catch (const EImageError&) {
      }
    }
  }
  // A GIF whose screen declares no pixels.
  EXPECT_NE(ErrorOf(EncodeGif({0, 0, 0, 0, 0, 0, {0, 0, 0}, {}, false, -1})), "read without complaint");
  // More than one image per file is refused for single-image formats.
  EXPECT_NE(ErrorOf(gif, 2).find("holds one image"), std::string::npos);
}

// Two pages in points: a 72 x 36 page with its left half black, and a
// 36 x 72 page with a black square at the bottom.
std::vector<TPdfPageSpec> TwoPages() {
  return {{72, 36, {{0, 0, 36, 36}}, {}}, {36, 72, {{0, 0, 36, 36}}, {}}};
}

TEST(PdfReader, RendersEveryPageInGreyAtTheChosenResolution) {
  const TBytes pdf = EncodePdf(TwoPages());
  EXPECT_EQ(DetectImageFormat(pdf.data(), pdf.size()), TImageFormat::Pdf);
  EXPECT_EQ(CountImages(pdf.data(), pdf.size()), 2);
  const TDibGraphic first = Read(pdf, 1, 100);
  const TDibGraphic second = Read(pdf, 2, 100);
  ASSERT_EQ(first.Width(), 100);
  ASSERT_EQ(first.Height(), 50);
  ASSERT_EQ(second.Width(), 50);
  ASSERT_EQ(second.Height(), 100);
  EXPECT_EQ(first.XDpi, 100);
  EXPECT_EQ(first.BitCount(), 8);
  EXPECT_TRUE(IsGreyRamp(first.Palette()));
  // Away from the edges of the rectangles, black is black and paper white.
  for (int y = 2; y < 48; ++y) {
    EXPECT_EQ(ColorAt(first, 10, y), 0u) << y;
    EXPECT_EQ(ColorAt(first, 90, y), 0xFFFFFFu) << y;
  }
  EXPECT_EQ(ColorAt(second, 25, 90), 0u);
  EXPECT_EQ(ColorAt(second, 25, 10), 0xFFFFFFu);
  EXPECT_EQ(Read(pdf, 1, 300).Width(), 300);
}

TEST(PdfReader, ReportsMissingPagesPasswordsDamageAndHugePages) {
  const TBytes pdf = EncodePdf(TwoPages());
  EXPECT_EQ(ErrorOf(pdf, 3), "no page 3 in the file (it holds 2)");
  EXPECT_NE(ErrorOf(EncodePdf(TwoPages(), "owner", "user")).find("password"), std::string::npos);
  EXPECT_EQ(ErrorOf(TBytes(pdf.begin(), pdf.begin() + 40)), "corrupt PDF data");
  // 200 inches a side at 600 dpi is far beyond the pixel limit: refused
  // before rendering.
  const TBytes poster = EncodePdf({{14400, 14400, {}, {}}});
  EXPECT_NE(ErrorOf(poster, 1, 600).find("exceeds the limit"), std::string::npos) << ErrorOf(poster, 1, 600);
}

// PDF reading and writing load their modules from the program's folder; one
// that is missing or not a module of this program is an error that names it.
TEST(PdfModules, AreFoundBesideTheProgramAndNamedWhenMissing) {
  EXPECT_NE(LoadModuleEntry(ProgramFolder(), kPdfReaderFile, kPdfReaderEntry, "reading PDF"), nullptr);
  EXPECT_NE(LoadModuleEntry(ProgramFolder(), kPdfWriterFile, kPdfWriterEntry, "PDF output"), nullptr);
  const struct {
    std::string Folder;
    const char* Entry;
    std::string Message;
  } cases[] = {
      {"/nonexistent", kPdfReaderEntry,
       "reading PDF needs /nonexistent/omniocr-pdf-reader.so, which could not"},
      {ProgramFolder(), kPdfWriterEntry, "reading PDF needs " + ProgramFolder() + "/omniocr-pdf-reader.so"},
  };
  for (const auto& c : cases) {
    try {
      LoadModuleEntry(c.Folder, kPdfReaderFile, c.Entry, "reading PDF");
      ADD_FAILURE() << c.Folder << " " << c.Entry;
    } catch (const EImageError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(c.Message, 0), 0u) << e.what();
    }
  }
}

TEST(UnsupportedFormats, AreNamedWithWhatToDo) {
  const struct {
    std::string Bytes;
    const char* Message;
  } cases[] = {
      {std::string("\0\0\0\x0CjP  \r\n\x87\n", 12) + "rest",
       "a JPEG 2000 file: convert it to PNG or TIFF first"},
      {std::string("\0\0\0\x1C"
                   "ftypavif",
                   12),
       "an AVIF image: convert it to PNG or TIFF first"},
      {"AT&TFORM\0\0\0\0DJVM", "a DjVu document: convert it to PDF or TIFF first"},
      {"%!PS-Adobe-3.0\n", "a PostScript file: convert it to PDF first"},
      {"just some text\n", "unknown image format"},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorOf(FromString(c.Bytes)), c.Message);
}

TEST(PdfWriter, ConvertsTextToWindows1252) {
  EXPECT_EQ(Utf8ToWindows1252("Caf\xC3\xA9 \xE2\x82\xAC 5 \xC3\x9F \xE2\x80\x94 \xE4\xB8\xAD"),
            "Caf\xE9 \x80 5 \xDF \x97 ?");
  EXPECT_EQ(Utf8ToWindows1252("\xFF"
                              "a"),
            "?a");
}

// The text poppler finds on a page: each word with its box in points.
struct TFoundWord {
  std::string Text;
  double Left, Top, Right, Bottom;
};

std::vector<TFoundWord> WordsOnPage(const std::vector<std::uint8_t>& pdf, int page) {
  std::unique_ptr<poppler::document> document(poppler::document::load_from_raw_data(
      reinterpret_cast<const char*>(pdf.data()), static_cast<int>(pdf.size())));
  std::unique_ptr<poppler::page> p(document->create_page(page));
  std::vector<TFoundWord> words;
  for (const poppler::text_box& box : p->text_list()) {
    const poppler::rectf r = box.bbox();
    const poppler::byte_array utf8 = box.text().to_utf8();
    words.push_back({std::string(utf8.begin(), utf8.end()), r.left(), r.top(), r.right(), r.bottom()});
  }
  return words;
}

TDibGraphic BlankPage(int width, int height, int bits) {
  TDibGraphic page;
  page.SetSize(width, height, bits);
  for (int y = 0; y < height; ++y) std::fill(page.ScanLine(y), page.ScanLine(y) + page.Stride(), 0xFF);
  return page;
}

TEST(PdfWriter, PlacesEveryWordOnItsBoxAboveThePageImage) {
  TDibGraphic bilevel = BlankPage(600, 300, 1);
  for (int y = 140; y < 160; ++y)
    std::fill(bilevel.ScanLine(y) + 12, bilevel.ScanLine(y) + 25, 0);  // some ink
  const TDibGraphic grey = BlankPage(300, 600, 8);
  const std::vector<TPdfLine> lines = {
      {100, 139, {{100, 100, 219, 139, "Hello"}, {250, 110, 299, 139, "w\xC3\xB6rld"}}},
      {200, 229, {{100, 200, 399, 229, "12.50\xE2\x82\xAC"}}},
  };
  TPdfDocument document;
  document.AddPage(bilevel, 300, 300, lines);
  document.AddPage(grey, 150, 150, {});
  const std::vector<std::uint8_t> pdf = document.Save();

  // The page images come back at their own resolution.
  EXPECT_EQ(CountImages(pdf.data(), pdf.size()), 2);
  const TDibGraphic first = ReadImageMemory(pdf.data(), pdf.size(), 1, 300);
  EXPECT_EQ(first.Width(), 600);
  EXPECT_EQ(first.Height(), 300);
  EXPECT_EQ(ColorAt(first, 150, 150), 0u);
  EXPECT_EQ(ColorAt(first, 150, 170), 0xFFFFFFu);
  EXPECT_EQ(ColorAt(first, 50, 50), 0xFFFFFFu);
  const TDibGraphic second = ReadImageMemory(pdf.data(), pdf.size(), 2, 150);
  EXPECT_EQ(second.Width(), 300);
  EXPECT_EQ(second.Height(), 600);

  // The words' boxes horizontally, the line's rows vertically (1 px = 0.24 pt).
  const std::vector<TFoundWord> words = WordsOnPage(pdf, 0);
  ASSERT_EQ(words.size(), 3u);
  const struct {
    const char* Text;
    int Left, Right, Top, Bottom;
  } expected[] = {{"Hello", 100, 220, 100, 140},
                  {"w\xC3\xB6rld", 250, 300, 100, 140},
                  {"12.50\xE2\x82\xAC", 100, 400, 200, 230}};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(words[i].Text, expected[i].Text);
    EXPECT_NEAR(words[i].Left, expected[i].Left * 0.24, 0.5) << i;
    EXPECT_NEAR(words[i].Right, expected[i].Right * 0.24, 0.5) << i;
    EXPECT_NEAR(words[i].Top, expected[i].Top * 0.24, 0.5) << i;
    EXPECT_NEAR(words[i].Bottom, expected[i].Bottom * 0.24, 0.5) << i;
  }
  EXPECT_TRUE(WordsOnPage(pdf, 1).empty());
}

TEST(PdfWriter, RefusesPagesWithoutResolutionOrTooLarge) {
  TPdfDocument document;
  const TDibGraphic page = BlankPage(100, 100, 8);
  EXPECT_THROW(document.AddPage(page, 0, 300, {}), EImageError);
  EXPECT_THROW(document.AddPage(BlankPage(30000, 10, 1), 100, 100, {}), EImageError);
  EXPECT_THROW(document.AddPage(TDibGraphic(), 300, 300, {}), EImageError);
  EXPECT_EQ(document.PageCount(), 0);
}

}  // namespace
}  // namespace omniocr
