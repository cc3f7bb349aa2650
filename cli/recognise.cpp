#include "cli/recognise.h"

#include <algorithm>

#include "dibunit/errors.h"
#include "imaging/image_io.h"
#include "imaging/transforms.h"

namespace omniocr::cli {

namespace {

// Frees the packed bitmap also when the engine raises.
struct TPackedDib {
  explicit TPackedDib(const TDibGraphic& image) : Handle(image.GetPackedDib()) {}
  ~TPackedDib() { GlobalFree(Handle); }
  TPackedDib(const TPackedDib&) = delete;
  TPackedDib& operator=(const TPackedDib&) = delete;
  TGlobalHandle Handle;
};

TDibGraphic ReadInput(const std::string& input, const std::vector<std::uint8_t>& stdinBytes, int page) {
  if (input == "-") return ReadImageMemory(stdinBytes.data(), stdinBytes.size(), page);
  return ReadImageFile(input, page);
}

// Engine boxes and guides refer to the zone; shift them onto the image.
void ShiftToImage(TOCRChar& record, int dx, int dy) {
  record.Left += dx, record.Right += dx, record.StartX += dx;
  record.Top += dy, record.Bottom += dy, record.StartY += dy;
  if (record.LineNo != 0) {
    record.AscLine += dy, record.MeanLine += dy, record.BaseLine += dy, record.DescLine += dy;
  }
  record.Page = nullptr;
}

void CollectRecords(const TOmnifontOCR& engine, TPageResult& result) {
  for (int i = 0; i < engine.Chars.Count(); ++i) {
    TOCRChar record = *engine.Chars[i];
    ShiftToImage(record, result.ZoneLeft, result.ZoneTop);
    result.Records.push_back(record);
  }
}

}  // namespace

void ConfigureEngine(const TOptions& options, TOmnifontOCR& engine) {
  engine.NumericOnly = options.NumericOnly;
  engine.AllowedChars = options.AllowedChars;
  engine.SpotRemoval = options.SpotRemoval;
  engine.MaxSpotSize = options.MaxSpotSize;
  engine.SplitTouching = options.SplitTouching;
  engine.SimilarityCorrection = options.SimilarityCorrection;
  engine.ContextCorrection = options.ContextCorrection;
  engine.CutRegions = options.CutRegions;
}

TPageResult RecognisePage(const std::string& input, const std::vector<std::uint8_t>& stdinBytes,
                          const TOptions& options, TOmnifontOCR& engine) {
  TPageResult result;
  result.Name = input;
  result.PageNumber = options.Page;
  try {
    TDibGraphic image = ReadInput(input, stdinBytes, options.Page);
    result.Width = image.Width();
    result.Height = image.Height();
    if (options.Zone) {
      const TZone& z = *options.Zone;
      TCropTransform(z.X, z.Y, z.X + z.W, z.Y + z.H).ApplyOnDest(image, image);
      result.ZoneLeft = std::max(z.X, 0);
      result.ZoneTop = std::max(z.Y, 0);
    }
    result.ZoneWidth = image.Width();
    result.ZoneHeight = image.Height();
    ConfigureEngine(options, engine);
    TPackedDib packed(image);
    image.Clear();  // the engine reads the packed copy: do not hold the pixels twice
    try {
      engine.Recognize(packed.Handle, options.Area);
    } catch (const EOCRError& e) {
      result.Threshold = engine.Threshold;
      // A blank page is a page without text, not a failure.
      if (std::string(e.what()) != "no characters found") throw;
      result.Message = "no characters found (blank page)";
      return result;
    }
    result.Threshold = engine.Threshold;
    CollectRecords(engine, result);
  } catch (const std::bad_alloc&) {
    result.Failed = true;
    result.Message = "out of memory";
  } catch (const std::exception& e) {
    result.Failed = true;
    result.Message = e.what();
  }
  return result;
}

}  // namespace omniocr::cli
