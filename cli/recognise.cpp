#include "cli/recognise.h"

#include "cli/page_preparation.h"
#include "cli/word_breaks.h"
#include "dibunit/errors.h"
#include "imaging/image_io.h"

namespace omniocr::cli {

namespace {

TDibGraphic ReadInput(const std::string& input, const THeldInput* held, int page, int dpi) {
  if (held == nullptr) return ReadImageFile(input, page, dpi);
  if (!held->Error.empty()) throw EImageError(held->Error);
  return ReadImageMemory(held->Bytes.data(), held->Bytes.size(), page, dpi);
}

// The engine's records, with the spacing the options ask for, placed on the
// input image.
void CollectRecords(const TOmnifontOCR& engine, const TPreparedPage& page, const TOptions& options,
                    TPageResult& result) {
  std::vector<TOCRChar> records;
  records.reserve(static_cast<std::size_t>(engine.Chars.Count()));
  for (int i = 0; i < engine.Chars.Count(); ++i) records.push_back(*engine.Chars[i]);
  const bool spaced = options.Area == atTextLine || options.Area == atParagraph || options.Area == atRegions;
  if (spaced && options.Spacing == TSpacing::Gaps)
    records = BreakWordsByGaps(records, TPitch{engine.FixedPitch, engine.PitchEstimate});
  result.Records.reserve(records.size());
  for (const TOCRChar& record : records) result.Records.push_back(PlaceOnImage(record, page));
}

void ReportPreparation(const TPreparedPage& page, TPageResult& result) {
  result.ZoneLeft = page.Zone.Left;
  result.ZoneTop = page.Zone.Top;
  result.ZoneWidth = page.Zone.Width();
  result.ZoneHeight = page.Zone.Height();
  result.Inverted = page.Inverted;
  result.SkewSearched = page.SkewSearched;
  result.SkewAngle = page.Skew.Angle;
  result.Deskewed = page.Straightened();
}

// A page whose every character went as a spot looks blank to the user; the
// note tells why.
bool OnlySpotsWereFound(const TOmnifontOCR& engine, const TPageResult& result) {
  if (engine.SpotsRemoved == 0) return false;
  for (const TOCRChar& record : result.Records)
    if (KindOf(record) == TRecordKind::Character || KindOf(record) == TRecordKind::Unread) return false;
  return true;
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

TPageResult RecognisePage(const std::string& input, int page, const THeldInput* held, const TOptions& options,
                          TOmnifontOCR& engine) {
  TPageResult result;
  result.Name = input;
  result.PageNumber = page;
  try {
    TDibGraphic image = ReadInput(input, held, page, options.Dpi);
    result.Width = image.Width();
    result.Height = image.Height();
    result.XDpi = image.XDpi;
    result.YDpi = image.YDpi;
    if (options.Format == TOutputFormat::Pdf) result.Image = std::make_shared<const TDibGraphic>(image);
    TPreparedPage prepared = PreparePage(std::move(image), options);
    ReportPreparation(prepared, result);
    ConfigureEngine(options, engine);
    // The packed bitmap is made in the image's own memory and given up to
    // the engine, which works in it: the pixels are never held twice.
    TOmnifontOCR::TPageHints hints;
    hints.GiveUpBlock = true;
    if (prepared.EngineHistogram) hints.Histogram = &*prepared.EngineHistogram;
    const TGlobalHandle packed = prepared.Image.TakePackedDib();
    try {
      engine.Recognize(packed, options.Area, hints);
    } catch (const EOCRError& e) {
      result.Threshold = engine.Threshold;
      // A blank page is a page without text, not a failure.
      if (std::string(e.what()) != "no characters found") throw;
      result.Message = "no characters found (blank page)";
      return result;
    }
    result.Threshold = engine.Threshold;
    CollectRecords(engine, prepared, options, result);
    if (OnlySpotsWereFound(engine, result))
      result.Message = "all characters were removed as spots; lower --max-spot";
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
