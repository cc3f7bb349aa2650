#pragma once

// The command line of omniocr: recognition parameters with the defaults of
// the desktop program's parameters dialog, input selection and output form.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/ocr_types.h"

namespace omniocr::cli {

enum class TOutputFormat { Text, Json, Hocr, Tsv };

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
  std::int32_t MaxSpotSize = 8;
  std::uint8_t SplitTouching = 2;
  bool SimilarityCorrection = true;
  bool ContextCorrection = true;
  std::optional<TZone> Zone;
  bool Deskew = true;
  TSpacing Spacing = TSpacing::Gaps;
  int Page = 1;
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
