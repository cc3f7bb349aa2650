#include <webp/decode.h>

#include "imaging/pixel_access.h"
#include "imaging/reader_support.h"
#include "imaging/readers.h"

namespace omniocr {

namespace {

[[noreturn]] void Fail(VP8StatusCode status) {
  if (status == VP8_STATUS_NOT_ENOUGH_DATA) throw EImageError("truncated WebP data");
  if (status == VP8_STATUS_UNSUPPORTED_FEATURE) throw EImageError("WebP feature not supported");
  throw EImageError("corrupt WebP data");
}

// Frees the decoder's output buffer also when decoding fails.
struct TWebpConfig {
  WebPDecoderConfig Config;
  TWebpConfig() {
    if (!WebPInitDecoderConfig(&Config)) throw EImageError("WebP decoder of the wrong version");
  }
  ~TWebpConfig() { WebPFreeDecBuffer(&Config.output); }
  TWebpConfig(const TWebpConfig&) = delete;
  TWebpConfig& operator=(const TWebpConfig&) = delete;
};

// Opaque images are decoded straight into the rows, blue first as the image
// stores them; transparent ones are composited over white paper.
TDibGraphic Decode(const std::uint8_t* data, std::size_t size, const WebPBitstreamFeatures& features) {
  TWebpConfig webp;
  TDibGraphic image;
  image.SetSize(features.width, features.height, 24);
  WebPDecBuffer& output = webp.Config.output;
  if (!features.has_alpha) {
    output.colorspace = MODE_BGR;
    output.is_external_memory = 1;
    output.u.RGBA.rgba = image.ScanLine(0);
    output.u.RGBA.stride = static_cast<int>(image.Stride());
    output.u.RGBA.size = static_cast<std::size_t>(image.Stride()) * static_cast<std::size_t>(features.height);
  } else {
    output.colorspace = MODE_RGBA;
  }
  const VP8StatusCode status = WebPDecode(data, size, &webp.Config);
  if (status != VP8_STATUS_OK) Fail(status);
  if (!features.has_alpha) return image;
  for (int y = 0; y < features.height; ++y) {
    const std::uint8_t* row = output.u.RGBA.rgba + static_cast<std::size_t>(y) * output.u.RGBA.stride;
    std::uint8_t* target = image.ScanLine(y);
    for (int x = 0; x < features.width; ++x) {
      const std::uint8_t* p = row + 4 * x;
      SetColor24(target, x, MakeColor(OverWhite(p[0], p[3]), OverWhite(p[1], p[3]), OverWhite(p[2], p[3])));
    }
  }
  return image;
}

}  // namespace

TDibGraphic ReadWebp(const std::uint8_t* data, std::size_t size) {
  WebPBitstreamFeatures features;
  const VP8StatusCode status = WebPGetFeatures(data, size, &features);
  if (status != VP8_STATUS_OK) Fail(status);
  if (features.has_animation) throw EImageError("animated WebP files are not read: save one frame as PNG");
  CheckImageSize(features.width, features.height, "WebP");
  return Decode(data, size, features);
}

}  // namespace omniocr
