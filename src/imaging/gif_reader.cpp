#include <gif_lib.h>

#include <cstring>
#include <memory>

#include "imaging/pixel_access.h"
#include "imaging/reader_support.h"
#include "imaging/readers.h"

namespace omniocr {

namespace {

// The file in memory, read through giflib's input function.
struct TGifSource {
  const std::uint8_t* Data;
  std::size_t Size;
  std::size_t Pos = 0;
};

int GifRead(GifFileType* gif, GifByteType* target, int length) {
  auto* source = static_cast<TGifSource*>(gif->UserData);
  if (length <= 0) return 0;
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(length), source->Size - source->Pos);
  std::memcpy(target, source->Data + source->Pos, n);
  source->Pos += n;
  return static_cast<int>(n);
}

struct TGifCloser {
  void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};
using TGifPtr = std::unique_ptr<GifFileType, TGifCloser>;

[[noreturn]] void Fail(int error) {
  if (error == D_GIF_ERR_READ_FAILED || error == D_GIF_ERR_EOF_TOO_SOON)
    throw EImageError("truncated GIF data");
  const char* reason = GifErrorString(error);
  throw EImageError(std::string("corrupt GIF data") + (reason ? std::string(" (") + reason + ")" : ""));
}

// The transparent colour index of a graphic control extension, -1 for none.
int TransparentIndex(const GifByteType* extension) {
  GraphicsControlBlock control;
  if (DGifExtensionToGCB(extension[0], extension + 1, &control) != GIF_OK) return -1;
  return control.TransparentColor;
}

// Skips an extension record; returns the transparency of a graphic control
// extension, `current` for any other.
int ReadExtension(GifFileType* gif, int current) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) != GIF_OK) Fail(gif->Error);
  int transparent = current;
  if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr) transparent = TransparentIndex(block);
  while (block != nullptr)
    if (DGifGetExtensionNext(gif, &block) != GIF_OK) Fail(gif->Error);
  return transparent;
}

std::vector<std::uint32_t> PaletteOf(const ColorMapObject* map, int transparent) {
  std::vector<std::uint32_t> palette(256, GreyColor(255));
  if (map != nullptr)
    for (int i = 0; i < map->ColorCount && i < 256; ++i)
      palette[static_cast<std::size_t>(i)] =
          MakeColor(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue);
  // Transparent pixels show the paper.
  if (transparent >= 0 && transparent < 256) palette[static_cast<std::size_t>(transparent)] = GreyColor(255);
  return palette;
}

// The rows of an interlaced image arrive in four passes.
std::vector<int> RowOrder(int height, bool interlaced) {
  std::vector<int> order;
  if (!interlaced) {
    for (int y = 0; y < height; ++y) order.push_back(y);
    return order;
  }
  const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int y = start[pass]; y < height; y += step[pass]) order.push_back(y);
  return order;
}

// The first image of the file, placed on its logical screen; the screen
// around it is paper.
TDibGraphic ReadFirstImage(GifFileType* gif, int transparent) {
  if (DGifGetImageDesc(gif) != GIF_OK) Fail(gif->Error);
  const GifImageDesc& desc = gif->Image;
  CheckImageSize(desc.Width, desc.Height, "GIF");
  const int screenW = std::max(gif->SWidth, desc.Left + desc.Width);
  const int screenH = std::max(gif->SHeight, desc.Top + desc.Height);
  CheckImageSize(screenW, screenH, "GIF");
  const ColorMapObject* map = desc.ColorMap != nullptr ? desc.ColorMap : gif->SColorMap;
  if (map == nullptr) throw EImageError("corrupt GIF data (no colour table)");
  TDibGraphic image;
  image.SetSize(screenW, screenH, 8);
  image.Palette() = PaletteOf(map, transparent);
  // The screen around the image is the lightest colour of the table (white
  // when the table leaves an entry unused).
  const int paper = LightestEntry(image.Palette());
  for (int y = 0; y < screenH; ++y) std::memset(image.ScanLine(y), paper, static_cast<std::size_t>(screenW));
  std::vector<GifPixelType> line(static_cast<std::size_t>(desc.Width));
  for (int y : RowOrder(desc.Height, desc.Interlace)) {
    if (DGifGetLine(gif, line.data(), desc.Width) != GIF_OK) Fail(gif->Error);
    std::memcpy(image.ScanLine(desc.Top + y) + desc.Left, line.data(), line.size());
  }
  return image;
}

}  // namespace

TDibGraphic ReadGif(const std::uint8_t* data, std::size_t size) {
  TGifSource source{data, size};
  int error = 0;
  TGifPtr gif(DGifOpen(&source, GifRead, &error));
  if (!gif) Fail(error);
  CheckImageSize(gif->SWidth, gif->SHeight, "GIF");
  int transparent = -1;
  for (;;) {
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif.get(), &record) != GIF_OK) Fail(gif->Error);
    if (record == EXTENSION_RECORD_TYPE) {
      transparent = ReadExtension(gif.get(), transparent);
    } else if (record == IMAGE_DESC_RECORD_TYPE) {
      TDibGraphic image = ReadFirstImage(gif.get(), transparent);
      NormaliseIndexed(image);
      return image;
    } else {
      throw EImageError("GIF file without an image");
    }
  }
}

}  // namespace omniocr
