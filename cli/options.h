#pragma once

// The command line of omniocr: recognition parameters, input selection and
// output form. The defaults are the desktop program's parameters dialog's,
// except the spot size, chosen by measurement on the corpus: the automatic
// size keeps the points of small print that a fixed 8 pixels deletes. Region
// cutting stays a choice: it splits pages of figures set in columns.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/ocr_types.h"
#include "imaging/image_io.h"

namespace omniocr::cli {

enum class TOutputFormat { Text, Json, Hocr, Tsv, TsvChars, Pdf };

// Where the spaces between words come from: the gaps between the character
// boxes of each line, or the engine's own space records.
enum class TSpacing { Gaps, Engine };

// A zone of the page: columns X..X+W-1, rows Y..Y+H-1.
struct TZone {
  int X = 0, Y = 0, W = 0, H = 0;
};

struct TOptions {
  TAreaType Area = atParagraph;
  bool CutRegions = false;
  bool NumericOnly = false;
  std::u16string AllowedChars;  // empty: every character
  std::uint8_t SpotRemoval = srAlways;
  std::int32_t MaxSpotSize = -1;  // automatic
  std::uint8_t SplitTouching = 2;
  bool SimilarityCorrection = true;
  bool ContextCorrection = true;
  std::optional<TZone> Zone;
  int Page = 0;                 // 0: every page of the file
  int Dpi = kDefaultRenderDpi;  // PDF pages are rendered at it; images without one are taken at it
  bool Deskew = true;
  TSpacing Spacing = TSpacing::Gaps;
  TOutputFormat Format = TOutputFormat::Text;
  std::string OutputPath;  // empty: standard output
  int Jobs = 1;
  bool ShowHelp = false;
  bool ShowVersion = false;
  std::vector<std::string> Inputs;  // "-" is standard input
};

// A command line that cannot be run; the message says why.
class EUsageError : public std::runtime_error {
 public:
  explicit EUsageError(const std::string& message) : std::runtime_error(message) {}
};

TOptions ParseOptions(const std::vector<std::string>& arguments);

// The allowed characters that a content choice stands for.
std::u16string AllowedForContent(const std::string& content);

std::string HelpText();

}  // namespace omniocr::cli
