#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

#include <csetjmp>
#include <cstring>

#include "imaging/pixel_access.h"
#include "imaging/reader_support.h"
#include "imaging/readers.h"

namespace omniocr {

namespace {

// libjpeg's error manager, extended with the jump back to the decoder and the
// message; warnings and trace messages are dropped rather than printed.
struct TJpegErrors {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX + 64];
};

void JpegErrorExit(j_common_ptr cinfo) {
  auto* errors = reinterpret_cast<TJpegErrors*>(cinfo->err);
  char text[JMSG_LENGTH_MAX];
  (*cinfo->err->format_message)(cinfo, text);
  std::snprintf(errors->Message, sizeof errors->Message, "corrupt JPEG data (%s)", text);
  std::longjmp(errors->Jump, 1);
}

void JpegOutputMessage(j_common_ptr) {}

// Warnings are dropped, except the one for data that ends early: a truncated
// file is an error, not a page filled with grey.
void JpegEmitMessage(j_common_ptr cinfo, int level) {
  if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) {
    auto* errors = reinterpret_cast<TJpegErrors*>(cinfo->err);
    std::snprintf(errors->Message, sizeof errors->Message, "truncated JPEG data");
    std::longjmp(errors->Jump, 1);
  }
}

// A progressive stream with thousands of scans takes unbounded time for
// little data; such streams are refused.
constexpr int kMaxScans = 1000;

void JpegProgress(j_common_ptr cinfo) {
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number > kMaxScans) {
    auto* errors = reinterpret_cast<TJpegErrors*>(cinfo->err);
    std::snprintf(errors->Message, sizeof errors->Message, "JPEG data with more than %d scans", kMaxScans);
    std::longjmp(errors->Jump, 1);
  }
}

void StoreRow(const std::uint8_t* row, const jpeg_decompress_struct& cinfo, bool invertedCmyk,
              std::uint8_t* target) {
  const int width = static_cast<int>(cinfo.output_width);
  if (cinfo.output_components == 1) {
    std::memcpy(target, row, static_cast<std::size_t>(width));
  } else if (cinfo.out_color_space == JCS_CMYK) {
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* p = row + 4 * x;
      unsigned c = p[0], m = p[1], y = p[2], k = p[3];
      if (!invertedCmyk) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
      SetColor24(target, x, MakeColor(c * k / 255, m * k / 255, y * k / 255));
    }
  } else {
    for (int x = 0; x < width; ++x)
      SetColor24(target, x, MakeColor(row[3 * x], row[3 * x + 1], row[3 * x + 2]));
  }
}

// Between setjmp and the end only plain data and caller-owned objects are
// used, so a jump out of libjpeg skips no destructor.
bool DecodeJpeg(jpeg_decompress_struct& cinfo, TJpegErrors& errors, const std::uint8_t* data,
                std::size_t size, TDibGraphic& image, std::vector<std::uint8_t>& row) {
  if (setjmp(errors.Jump)) return false;
  jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  try {
    CheckImageSize(cinfo.image_width, cinfo.image_height, "JPEG");
    // Huffman codes spend at least two bits on every 8 x 8 block; progressive
    // and arithmetic coding can spend much less.
    const std::uint64_t maxRatio = cinfo.progressive_mode || cinfo.arith_code ? 1u << 16 : 4096;
    CheckExpansion(static_cast<std::uint64_t>(cinfo.image_width) * cinfo.image_height * cinfo.num_components,
                   size, maxRatio, "JPEG");
  } catch (const EImageError& e) {
    std::snprintf(errors.Message, sizeof errors.Message, "%s", e.what());
    return false;
  }
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cinfo.num_components == 1 ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_start_decompress(&cinfo);
  image.SetSize(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
                cinfo.output_components == 1 ? 8 : 24);
  row.resize(static_cast<std::size_t>(cinfo.output_width) *
             static_cast<std::size_t>(cinfo.output_components));
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW rows[1] = {row.data()};
    const int y = static_cast<int>(cinfo.output_scanline);
    if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) break;
    StoreRow(row.data(), cinfo, cinfo.saw_Adobe_marker, image.ScanLine(y));
  }
  if (cinfo.density_unit == 1 || cinfo.density_unit == 2) {
    const double scale = cinfo.density_unit == 2 ? 2.54 : 1.0;
    image.XDpi = static_cast<int>(cinfo.X_density * scale + 0.5);
    image.YDpi = static_cast<int>(cinfo.Y_density * scale + 0.5);
  }
  jpeg_finish_decompress(&cinfo);
  return true;
}

}  // namespace

TDibGraphic ReadJpeg(const std::uint8_t* data, std::size_t size) {
  jpeg_decompress_struct cinfo;
  TJpegErrors errors{};
  cinfo.err = jpeg_std_error(&errors.Manager);
  errors.Manager.error_exit = JpegErrorExit;
  errors.Manager.output_message = JpegOutputMessage;
  errors.Manager.emit_message = JpegEmitMessage;
  jpeg_progress_mgr progress{};
  progress.progress_monitor = JpegProgress;
  jpeg_create_decompress(&cinfo);
  cinfo.progress = &progress;
  TDibGraphic image;
  std::vector<std::uint8_t> row;
  bool ok = false;
  try {
    ok = DecodeJpeg(cinfo, errors, data, size, image, row);
  } catch (...) {
    jpeg_destroy_decompress(&cinfo);
    throw;
  }
  jpeg_destroy_decompress(&cinfo);
  if (!ok) throw EImageError(errors.Message[0] ? errors.Message : "corrupt JPEG data");
  return image;
}

}  // namespace omniocr
