#include "imaging/image_fixtures.h"

#include <png.h>
#include <tiffio.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
// jpeglib.h needs FILE and size_t first.
#include <jpeglib.h>

namespace omniocr::test {

namespace {

void Put16(TBytes& b, unsigned v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(TBytes& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

void PngWrite(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<TBytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}
void PngFlush(png_structp) {}

}  // namespace

TBytes EncodePng(const TPngSpec& spec) {
  TBytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) throw std::runtime_error("fixture PNG failed");
  png_set_write_fn(png, &out, PngWrite, PngFlush);
  png_set_IHDR(png, info, spec.Width, spec.Height, spec.BitDepth, spec.ColorType,
               spec.Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette;
  for (std::size_t i = 0; i + 2 < spec.Palette.size(); i += 3)
    palette.push_back({spec.Palette[i], spec.Palette[i + 1], spec.Palette[i + 2]});
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  png_color_16 key{};
  if (!spec.Transparency.empty()) {
    if (spec.ColorType == PNG_COLOR_TYPE_PALETTE) {
      png_set_tRNS(png, info, spec.Transparency.data(), static_cast<int>(spec.Transparency.size()), nullptr);
    } else {
      key.gray = key.red = spec.Transparency[0];
      key.green = spec.Transparency.size() > 1 ? spec.Transparency[1] : 0;
      key.blue = spec.Transparency.size() > 2 ? spec.Transparency[2] : 0;
      png_set_tRNS(png, info, nullptr, 0, &key);
    }
  }
  png_write_info(png, info);
  const std::size_t rowBytes = spec.Rows.size() / static_cast<std::size_t>(spec.Height);
  std::vector<png_bytep> rows;
  for (int y = 0; y < spec.Height; ++y)
    rows.push_back(const_cast<png_bytep>(spec.Rows.data() + y * rowBytes));
  png_write_image(png, rows.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

TBytes EncodeTiff(const std::vector<TTiffPageSpec>& pages) {
  char path[] = "/tmp/omniocr-fixture-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) throw std::runtime_error("no temporary file");
  TIFF* tiff = TIFFFdOpen(fd, path, "w");
  for (const TTiffPageSpec& p : pages) {
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, p.Width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, p.Height);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, p.Bits);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, p.Samples);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, p.Photometric);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, p.Compression);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_XRESOLUTION, 300.0f);
    TIFFSetField(tiff, TIFFTAG_YRESOLUTION, 300.0f);
    TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    if (!p.ColourMap.empty()) {
      const std::size_t n = p.ColourMap.size() / 3;
      TIFFSetField(tiff, TIFFTAG_COLORMAP, p.ColourMap.data(), p.ColourMap.data() + n,
                   p.ColourMap.data() + 2 * n);
    }
    const std::size_t rowBytes = p.Rows.size() / static_cast<std::size_t>(p.Height);
    if (p.Rows.empty()) {
      // A directory without pixel data: for headers that declare what is not there.
    } else if (p.Tiled) {
      TIFFSetField(tiff, TIFFTAG_TILEWIDTH, 16u);
      TIFFSetField(tiff, TIFFTAG_TILELENGTH, 16u);
      const std::size_t pixelBytes = rowBytes / static_cast<std::size_t>(p.Width);
      std::vector<std::uint8_t> tile(16 * 16 * pixelBytes);
      for (int ty = 0; ty < p.Height; ty += 16)
        for (int tx = 0; tx < p.Width; tx += 16) {
          std::fill(tile.begin(), tile.end(), 0);
          for (int y = 0; y < 16 && ty + y < p.Height; ++y)
            for (int x = 0; x < 16 && tx + x < p.Width; ++x)
              std::memcpy(&tile[(y * 16 + x) * pixelBytes],
                          &p.Rows[(ty + y) * rowBytes + (tx + x) * pixelBytes], pixelBytes);
          if (TIFFWriteTile(tiff, tile.data(), tx, ty, 0, 0) < 0) throw std::runtime_error("fixture tile");
        }
    } else {
      TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 4);
      for (int y = 0; y < p.Height; ++y)
        TIFFWriteScanline(tiff, const_cast<std::uint8_t*>(p.Rows.data() + y * rowBytes), y, 0);
    }
    TIFFWriteDirectory(tiff);
  }
  TIFFClose(tiff);
  TBytes out;
  std::FILE* f = std::fopen(path, "rb");
  int c;
  while ((c = std::fgetc(f)) != EOF) out.push_back(static_cast<std::uint8_t>(c));
  std::fclose(f);
  std::remove(path);
  return out;
}

TBytes EncodeJpeg(int width, int height, int components, const TBytes& samples) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = width;
  cinfo.image_height = height;
  cinfo.input_components = components;
  cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 95, TRUE);
  cinfo.density_unit = 1;
  cinfo.X_density = cinfo.Y_density = 200;
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(samples.data() + cinfo.next_scanline * width * components);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  TBytes out(buffer, buffer + size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return out;
}

TBytes BottomUpRows(const std::vector<TBytes>& topDownRows) {
  TBytes out;
  for (auto it = topDownRows.rbegin(); it != topDownRows.rend(); ++it) {
    out.insert(out.end(), it->begin(), it->end());
    while (out.size() % 4) out.push_back(0);
  }
  return out;
}

TBytes EncodeBmp(const TBmpSpec& s) {
  TBytes info;
  Put32(info, s.HeaderSize);
  if (s.HeaderSize == 12) {
    Put16(info, s.Width);
    Put16(info, s.Height);
    Put16(info, 1);
    Put16(info, s.BitCount);
  } else {
    Put32(info, s.Width);
    Put32(info, s.Height);
    Put16(info, 1);
    Put16(info, s.BitCount);
    Put32(info, s.Compression);
    Put32(info, static_cast<std::uint32_t>(s.Pixels.size()));
    Put32(info, 11811);
    Put32(info, 11811);
    Put32(info, static_cast<std::uint32_t>(s.Palette.size()));
    Put32(info, 0);
    if (s.HeaderSize > 40) {
      for (int i = 0; i < 4; ++i) Put32(info, i < static_cast<int>(s.Masks.size()) ? s.Masks[i] : 0);
      info.resize(static_cast<std::size_t>(s.HeaderSize), 0);
    } else {
      for (std::uint32_t m : s.Masks) Put32(info, m);
    }
  }
  for (std::uint32_t entry : s.Palette) {
    info.push_back(static_cast<std::uint8_t>(entry));
    info.push_back(static_cast<std::uint8_t>(entry >> 8));
    info.push_back(static_cast<std::uint8_t>(entry >> 16));
    if (s.HeaderSize != 12) info.push_back(0);
  }
  TBytes file = {'B', 'M'};
  Put32(file, static_cast<std::uint32_t>(14 + info.size() + s.Pixels.size()));
  Put32(file, 0);
  Put32(file, static_cast<std::uint32_t>(14 + info.size()));
  file.insert(file.end(), info.begin(), info.end());
  file.insert(file.end(), s.Pixels.begin(), s.Pixels.end());
  return file;
}

TBytes EncodePcx(int width, int height, int bitsPerPixel, int planes, int bytesPerLine,
                 const std::vector<TBytes>& lines, const std::vector<std::uint8_t>& palette256) {
  TBytes out = {0x0A, 5, 1, static_cast<std::uint8_t>(bitsPerPixel)};
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, width - 1);
  Put16(out, height - 1);
  Put16(out, 300);
  Put16(out, 300);
  for (int i = 0; i < 16; ++i)
    for (int c = 0; c < 3; ++c) out.push_back(static_cast<std::uint8_t>(i * 17));
  out.push_back(0);
  out.push_back(static_cast<std::uint8_t>(planes));
  Put16(out, bytesPerLine);
  Put16(out, 1);
  out.resize(128, 0);
  for (const TBytes& line : lines)
    for (std::size_t i = 0; i < line.size();) {
      std::size_t run = 1;
      while (i + run < line.size() && line[i + run] == line[i] && run < 63) ++run;
      if (run > 1 || line[i] >= 0xC0) out.push_back(static_cast<std::uint8_t>(0xC0 | run));
      out.push_back(line[i]);
      i += run;
    }
  if (!palette256.empty()) {
    out.push_back(0x0C);
    out.insert(out.end(), palette256.begin(), palette256.end());
  }
  return out;
}

TBytes EncodeIcon(const std::vector<TIconImage>& images) {
  TBytes out;
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, static_cast<unsigned>(images.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (const TIconImage& image : images) {
    out.push_back(static_cast<std::uint8_t>(image.Width & 0xFF));
    out.push_back(static_cast<std::uint8_t>(image.Height & 0xFF));
    out.push_back(0);
    out.push_back(0);
    Put16(out, 1);
    Put16(out, image.BitCount);
    Put32(out, static_cast<std::uint32_t>(image.Data.size()));
    Put32(out, offset);
    offset += static_cast<std::uint32_t>(image.Data.size());
  }
  for (const TIconImage& image : images) out.insert(out.end(), image.Data.begin(), image.Data.end());
  return out;
}

TBytes FromString(const std::string& text) { return TBytes(text.begin(), text.end()); }

}  // namespace omniocr::test
