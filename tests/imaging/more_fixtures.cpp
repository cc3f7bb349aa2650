#include "imaging/more_fixtures.h"

#include <gif_lib.h>
#include <hpdf.h>
#include <webp/encode.h>

#include <stdexcept>

namespace omniocr::test {

namespace {

int GifWrite(GifFileType* gif, const GifByteType* data, int length) {
  auto* out = static_cast<TBytes*>(gif->UserData);
  out->insert(out->end(), data, data + length);
  return length;
}

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("fixture failed: ") + what);
}

// libharu reports errors through a callback that must not throw across C.
void HpdfKeep(HPDF_STATUS error, HPDF_STATUS, void* user) {
  auto* first = static_cast<HPDF_STATUS*>(user);
  if (*first == HPDF_OK) *first = error;
}

}  // namespace

TBytes EncodeGif(const TGifSpec& spec) {
  TBytes out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, GifWrite, &error);
  Check(gif != nullptr, "EGifOpen");
  int count = 2;
  while (count * 3 < static_cast<int>(spec.Palette.size())) count *= 2;
  ColorMapObject* map = GifMakeMapObject(count, nullptr);
  for (int i = 0; i < count; ++i) {
    const bool present = 3 * i + 2 < static_cast<int>(spec.Palette.size());
    map->Colors[i] = present
                         ? GifColorType{spec.Palette[3 * i], spec.Palette[3 * i + 1], spec.Palette[3 * i + 2]}
                         : GifColorType{0, 0, 0};
  }
  EGifSetGifVersion(gif, true);
  Check(EGifPutScreenDesc(gif, spec.ScreenW, spec.ScreenH, 8, 0, map) == GIF_OK, "screen");
  if (spec.Transparent >= 0) {
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSAL_UNSPECIFIED;
    control.TransparentColor = spec.Transparent;
    GifByteType extension[4];
    const std::size_t length = EGifGCBToExtension(&control, extension);
    Check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) == GIF_OK,
          "GCB");
  }
  Check(
      EGifPutImageDesc(gif, spec.Left, spec.Top, spec.Width, spec.Height, spec.Interlaced, nullptr) == GIF_OK,
      "image");
  // Interlaced rows go out in the four passes' order.
  std::vector<int> order;
  if (spec.Interlaced) {
    const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
      for (int y = start[pass]; y < spec.Height; y += step[pass]) order.push_back(y);
  } else {
    for (int y = 0; y < spec.Height; ++y) order.push_back(y);
  }
  for (int y : order) {
    TBytes row(spec.Indices.begin() + y * spec.Width, spec.Indices.begin() + (y + 1) * spec.Width);
    Check(EGifPutLine(gif, row.data(), spec.Width) == GIF_OK, "line");
  }
  GifFreeMapObject(map);
  Check(EGifCloseFile(gif, &error) == GIF_OK, "close");
  return out;
}

TBytes EncodeWebp(int width, int height, int channels, const TBytes& samples) {
  std::uint8_t* output = nullptr;
  const std::size_t size = channels == 4
                               ? WebPEncodeLosslessRGBA(samples.data(), width, height, width * 4, &output)
                               : WebPEncodeLosslessRGB(samples.data(), width, height, width * 3, &output);
  Check(size > 0, "WebP");
  TBytes out(output, output + size);
  WebPFree(output);
  return out;
}

TBytes EncodePdf(const std::vector<TPdfPageSpec>& pages, const std::string& ownerPassword,
                 const std::string& userPassword) {
  HPDF_STATUS error = HPDF_OK;
  HPDF_Doc doc = HPDF_New(HpdfKeep, &error);
  Check(doc != nullptr, "HPDF_New");
  HPDF_Font font = HPDF_GetFont(doc, "Helvetica", nullptr);
  for (const TPdfPageSpec& spec : pages) {
    HPDF_Page page = HPDF_AddPage(doc);
    HPDF_Page_SetWidth(page, static_cast<HPDF_REAL>(spec.Width));
    HPDF_Page_SetHeight(page, static_cast<HPDF_REAL>(spec.Height));
    for (const TPdfRect& r : spec.Rects)
      HPDF_Page_Rectangle(page, static_cast<HPDF_REAL>(r.X), static_cast<HPDF_REAL>(r.Y),
                          static_cast<HPDF_REAL>(r.W), static_cast<HPDF_REAL>(r.H));
    if (!spec.Rects.empty()) HPDF_Page_Fill(page);
    for (const TPdfText& t : spec.Texts) {
      HPDF_Page_BeginText(page);
      HPDF_Page_SetFontAndSize(page, font, static_cast<HPDF_REAL>(t.Size));
      HPDF_Page_TextOut(page, static_cast<HPDF_REAL>(t.X), static_cast<HPDF_REAL>(t.Y), t.Text.c_str());
      HPDF_Page_EndText(page);
    }
  }
  if (!ownerPassword.empty()) HPDF_SetPassword(doc, ownerPassword.c_str(), userPassword.c_str());
  HPDF_SaveToStream(doc);
  Check(error == HPDF_OK, "PDF");
  TBytes out(HPDF_GetStreamSize(doc));
  HPDF_ResetStream(doc);
  HPDF_UINT32 size = static_cast<HPDF_UINT32>(out.size());
  HPDF_ReadFromStream(doc, out.data(), &size);
  out.resize(size);
  HPDF_Free(doc);
  return out;
}

}  // namespace omniocr::test
