#include "cli/options.h"

#include <charconv>
#include <utility>

#include "engine/char_codes.h"
#include "engine/content_sets.h"

namespace omniocr::cli {

namespace {

int ParseInt(const std::string& text, const std::string& option) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || ptr != end || text.empty())
    throw EUsageError("option " + option + " needs a whole number, not '" + text + "'");
  return value;
}

TAreaType ParseArea(const std::string& value) {
  if (value == "character") return atCharacter;
  if (value == "word") return atWord;
  if (value == "line") return atTextLine;
  if (value == "paragraph") return atParagraph;
  if (value == "regions") return atRegions;
  throw EUsageError("unknown area type '" + value + "' (character, word, line, paragraph or regions)");
}

std::uint8_t ParseSpots(const std::string& value) {
  if (value == "none") return srNone;
  if (value == "smart") return srSmart;
  if (value == "always") return srAlways;
  throw EUsageError("unknown spot removal '" + value + "' (none, smart or always)");
}

TOutputFormat ParseFormat(const std::string& value) {
  if (value == "text") return TOutputFormat::Text;
  if (value == "json") return TOutputFormat::Json;
  if (value == "hocr") return TOutputFormat::Hocr;
  if (value == "tsv") return TOutputFormat::Tsv;
  throw EUsageError("unknown format '" + value + "' (text, json, hocr or tsv)");
}

TZone ParseZone(const std::string& value) {
  TZone zone;
  int* fields[] = {&zone.X, &zone.Y, &zone.W, &zone.H};
  std::size_t start = 0;
  for (int i = 0; i < 4; ++i) {
    const std::size_t comma = value.find(',', start);
    if ((comma == std::string::npos) != (i == 3))
      throw EUsageError("--zone needs X,Y,W,H, not '" + value + "'");
    *fields[i] = ParseInt(value.substr(start, comma - start), "--zone");
    start = comma + 1;
  }
  if (zone.W <= 0 || zone.H <= 0) throw EUsageError("--zone needs a positive width and height");
  return zone;
}

// Splits "--name=value" and supplies the value of "--name value".
struct TArgumentCursor {
  const std::vector<std::string>& Arguments;
  std::size_t Index = 0;
  std::string Value(const std::string& option, std::optional<std::string>& inlineValue) {
    if (inlineValue) return *std::exchange(inlineValue, std::nullopt);
    if (Index + 1 >= Arguments.size()) throw EUsageError("option " + option + " needs a value");
    return Arguments[++Index];
  }
};

}  // namespace

std::u16string AllowedForContent(const std::string& content) {
  if (content == "numeric") return AllowedCharsForContent(ckNumeric);
  if (content == "upper") return AllowedCharsForContent(ckUppercaseLetters);
  if (content == "lower") return AllowedCharsForContent(ckLowercaseLetters);
  if (content == "letters") return AllowedCharsForContent(ckLetters);
  if (content == "alphanumeric") return AllowedCharsForContent(ckAlphanumeric);
  throw EUsageError("unknown content '" + content + "' (numeric, upper, lower, letters or alphanumeric)");
}

TOptions ParseOptions(const std::vector<std::string>& arguments) {
  TOptions o;
  TArgumentCursor cursor{arguments};
  bool onlyInputs = false;
  std::optional<std::u16string> allowed;
  for (; cursor.Index < arguments.size(); ++cursor.Index) {
    std::string arg = arguments[cursor.Index];
    if (onlyInputs || arg == "-" || arg.empty() || arg[0] != '-') {
      o.Inputs.push_back(arg);
      continue;
    }
    if (arg == "--") {
      onlyInputs = true;
      continue;
    }
    std::optional<std::string> inlineValue;
    if (const std::size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      inlineValue = arg.substr(eq + 1);
      arg.resize(eq);
    }
    auto value = [&] { return cursor.Value(arg, inlineValue); };
    if (arg == "-h" || arg == "--help") {
      o.ShowHelp = true;
    } else if (arg == "--version") {
      o.ShowVersion = true;
    } else if (arg == "--area") {
      o.Area = ParseArea(value());
    } else if (arg == "--cut-regions") {
      o.CutRegions = true;
    } else if (arg == "--content") {
      const std::string content = value();
      o.AllowedChars = AllowedForContent(content);
      o.NumericOnly = content == "numeric";
    } else if (arg == "--allowed") {
      allowed = Utf8ToCodes(value());
    } else if (arg == "--spots") {
      o.SpotRemoval = ParseSpots(value());
    } else if (arg == "--max-spot") {
      o.MaxSpotSize = ParseInt(value(), arg);
      if (o.MaxSpotSize < -1) throw EUsageError("--max-spot must be -1 (automatic) or more");
    } else if (arg == "--no-split") {
      o.SplitTouching = 0;
    } else if (arg == "--no-similarity") {
      o.SimilarityCorrection = false;
    } else if (arg == "--no-context") {
      o.ContextCorrection = false;
    } else if (arg == "--zone") {
      o.Zone = ParseZone(value());
    } else if (arg == "--page") {
      o.Page = ParseInt(value(), arg);
      if (o.Page < 1) throw EUsageError("--page counts from 1");
    } else if (arg == "--format") {
      o.Format = ParseFormat(value());
    } else if (arg == "-o" || arg == "--output") {
      o.OutputPath = value();
    } else if (arg == "-j" || arg == "--jobs") {
      o.Jobs = ParseInt(value(), arg);
      if (o.Jobs < 1 || o.Jobs > 256) throw EUsageError("-j needs a number from 1 to 256");
    } else if (arg.rfind("-j", 0) == 0 && arg.size() > 2) {
      o.Jobs = ParseInt(arg.substr(2), "-j");
      if (o.Jobs < 1 || o.Jobs > 256) throw EUsageError("-j needs a number from 1 to 256");
    } else {
      throw EUsageError("unknown option " + arg);
    }
    if (inlineValue) throw EUsageError("option " + arg + " takes no value");
  }
  if (allowed) o.AllowedChars = *allowed;
  if (!o.ShowHelp && !o.ShowVersion && o.Inputs.empty()) throw EUsageError("no image given");
  return o;
}

std::string HelpText() {
  return R"(Usage: omniocr [OPTIONS] IMAGE...
Reads the printed text of each image and writes it as UTF-8 to standard
output. IMAGE may be a TIFF, JPEG, PNG, BMP, PCX, icon or PNM file (the
format is taken from the file's contents); '-' reads standard input.

Recognition (defaults as in the desktop program's parameters dialog):
  --area TYPE          character, word, line, paragraph (default) or regions
  --cut-regions        with --area regions: find blocks by cutting the page
  --content KIND       numeric, upper, lower, letters or alphanumeric (default)
  --allowed CHARS      only these characters may be read (overrides --content's set)
  --spots MODE         spot removal: none, smart or always (default)
  --max-spot N         largest spot removed, in pixels (default 8; -1 = automatic)
  --no-split           do not split touching characters
  --no-similarity      no correction by similar characters
  --no-context         no correction by context
  --zone X,Y,W,H       read only this rectangle of the image
  --page N             read image N of a multi-page file (default 1)

Output:
  --format FORM        text (default), json (one object per image and line),
                       hocr (XHTML) or tsv (one row per record, with header)
  -o, --output FILE    write to FILE instead of standard output (replaced only
                       when every image was read; never one of the inputs)
  -j, --jobs N         read N images at a time (output stays in input order)
  -h, --help           show this help
  --version            show the version

A character that could not be read is written as '~'. A blank page gives no
text and a note on standard error. Exit status: 0 when every image was read,
1 when an image could not be read, 2 for a wrong command line.
)";
}

}  // namespace omniocr::cli
