#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include <csetjmp>
#include <cstdlib>

#include "imaging/image_io.h"
#include "imaging/pixel_access.h"

namespace omniocr {

namespace {

struct TJpegSinkErrors {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void SinkErrorExit(j_common_ptr cinfo) {
  auto* errors = reinterpret_cast<TJpegSinkErrors*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, errors->Message);
  std::longjmp(errors->Jump, 1);
}
void SinkOutputMessage(j_common_ptr) {}

bool IsGrey(const TDibGraphic& image) {
  if (image.BitCount() == 8) return IsGreyRamp(image.Palette());
  return image.BitCount() == 1 && IsBlackWhite(image.Palette());
}

// One row as the encoder takes it: grey levels, or red, green, blue.
void FillRow(const TDibGraphic& image, int y, bool grey, JSAMPLE* row) {
  const std::uint8_t* source = image.ScanLine(y);
  for (int x = 0; x < image.Width(); ++x) {
    const std::uint32_t color = GetColor(source, x, image.BitCount(), image.Palette());
    if (grey) {
      row[x] = static_cast<JSAMPLE>(BlueOf(color));
    } else {
      row[3 * x] = static_cast<JSAMPLE>(RedOf(color));
      row[3 * x + 1] = static_cast<JSAMPLE>(GreenOf(color));
      row[3 * x + 2] = static_cast<JSAMPLE>(BlueOf(color));
    }
  }
}

// Everything between setjmp and the end lives in storage owned by the
// caller, so the jump skips no destructor.
bool Encode(jpeg_compress_struct& cinfo, TJpegSinkErrors& errors, const TDibGraphic& image, int quality,
            std::vector<JSAMPLE>& row, unsigned char** output, unsigned long* outputSize) {
  if (setjmp(errors.Jump)) return false;
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, output, outputSize);
  const bool grey = IsGrey(image);
  cinfo.image_width = static_cast<JDIMENSION>(image.Width());
  cinfo.image_height = static_cast<JDIMENSION>(image.Height());
  cinfo.input_components = grey ? 1 : 3;
  cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  if (image.XDpi > 0 && image.YDpi > 0 && image.XDpi < 65536 && image.YDpi < 65536) {
    cinfo.density_unit = 1;
    cinfo.X_density = static_cast<UINT16>(image.XDpi);
    cinfo.Y_density = static_cast<UINT16>(image.YDpi);
  }
  jpeg_start_compress(&cinfo, TRUE);
  row.resize(static_cast<std::size_t>(image.Width()) * (grey ? 1 : 3));
  for (int y = 0; y < image.Height(); ++y) {
    FillRow(image, y, grey, row.data());
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  return true;
}

}  // namespace

std::vector<std::uint8_t> WriteJpegMemory(const TDibGraphic& image, int quality) {
  if (image.Empty()) throw EImageError("cannot write an empty image");
  jpeg_compress_struct cinfo{};
  TJpegSinkErrors errors{};
  cinfo.err = jpeg_std_error(&errors.Manager);
  errors.Manager.error_exit = SinkErrorExit;
  errors.Manager.output_message = SinkOutputMessage;
  std::vector<JSAMPLE> row;
  unsigned char* output = nullptr;
  unsigned long outputSize = 0;
  const bool ok = Encode(cinfo, errors, image, quality, row, &output, &outputSize);
  std::vector<std::uint8_t> bytes;
  if (ok) bytes.assign(output, output + outputSize);
  jpeg_destroy_compress(&cinfo);
  std::free(output);
  if (!ok) throw EImageError(std::string("JPEG encoding failed: ") + errors.Message);
  return bytes;
}

}  // namespace omniocr
