#include "cli/options.h"

#include <charconv>
#include <utility>

#include "engine/char_codes.h"
#include "engine/content_sets.h"

namespace omniocr::cli {

namespace {

constexpr int kMinDpi = 10;
constexpr int kMaxDpi = 2400;

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
  if (value == "tsv-chars") return TOutputFormat::TsvChars;
  if (value == "pdf") return TOutputFormat::Pdf;
  throw EUsageError("unknown format '" + value + "' (text, json, hocr, tsv, tsv-chars or pdf)");
}

TSpacing ParseSpacing(const std::string& value) {
  if (value == "gaps") return TSpacing::Gaps;
  if (value == "engine") return TSpacing::Engine;
  throw EUsageError("unknown spacing '" + value + "' (gaps or engine)");
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
    } else if (arg == "--no-deskew") {
      o.Deskew = false;
    } else if (arg == "--spacing") {
      o.Spacing = ParseSpacing(value());
    } else if (arg == "--page") {
      o.Page = ParseInt(value(), arg);
      if (o.Page < 1) throw EUsageError("--page counts from 1");
    } else if (arg == "--dpi") {
      o.Dpi = ParseInt(value(), arg);
      if (o.Dpi < kMinDpi || o.Dpi > kMaxDpi)
        throw EUsageError("--dpi needs a number from " + std::to_string(kMinDpi) + " to " +
                          std::to_string(kMaxDpi));
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

namespace {

std::string CodesToUtf8(const std::u16string& codes) {
  std::string text;
  for (const char16_t code : codes) text += Utf8Encode(CodeToUnicode(code));
  return text;
}

std::string ContentTable() {
  const struct {
    const char* Name;
    TContentKind Kind;
  } contents[] = {{"numeric", ckNumeric},
                  {"upper", ckUppercaseLetters},
                  {"lower", ckLowercaseLetters},
                  {"letters", ckLetters}};
  std::string table;
  for (const auto& content : contents) {
    std::string name = content.Name;
    name.resize(14, ' ');
    table += "  " + name + CodesToUtf8(AllowedCharsForContent(content.Kind)) + "\n";
  }
  return table +
         "  alphanumeric  every character: digits, letters with their accents, punctuation,\n"
         "                brackets and signs\n";
}

}  // namespace

std::string HelpText() {
  const TOptions defaults;
  return R"(Usage: omniocr [OPTIONS] FILE...
Reads the printed text of each file and writes it as UTF-8 to standard
output. FILE may be a PDF, TIFF, JPEG, PNG, GIF, WebP, BMP, PCX, icon or PNM
file (the format is taken from the file's contents); '-' reads standard input.
Every page of a multi-page TIFF or PDF is read, in order. PDF pages are
rendered in grey and read from their image, also when they already hold text.

Recognition (the desktop program's defaults but for the spot size):
  --area TYPE          character, word, line, paragraph (default) or regions
  --cut-regions        with --area regions: cut the page into blocks (columns)
                       and read them one after the other
  --content KIND       what the text holds (default alphanumeric), see below
  --allowed CHARS      only these characters may be read (overrides --content's set)
  --spots MODE         spot removal: none, smart or always (default)
  --max-spot N         largest spot removed, in pixels, or -1 for a size taken
                       from the size of the characters (default )" +
         std::to_string(defaults.MaxSpotSize) + R"()
  --no-split           do not split touching characters
  --no-similarity      no correction by similar characters
  --no-context         no correction by context
  --zone X,Y,W,H       read only this rectangle of each page (a top or bottom
                       edge that cuts through a text line is moved off it)
  --no-deskew          read the page as it is, without straightening it
  --spacing FROM       word spaces from the gaps between the boxes of each line
                       (gaps, default) or the engine's own (engine)
  --page N             read only page N of a multi-page file
  --dpi N              render PDF pages at N dots per inch (default )" +
         std::to_string(defaults.Dpi) + R"(); also the
                       resolution taken for images that state none

Content (--content) and the characters each allows:
)" + ContentTable() +
         R"(  numeric also skips the recognisers of letters and signs.

Output:
  --format FORM        text (default): the text, a form feed between pages
                       json: one object per page (JSON Lines), with every record
                       hocr: XHTML with pages, areas, paragraphs, lines, words and
                         characters with their alternatives
                       tsv: a tab-separated row per page, block, paragraph, line
                         and word (level, page_num, block_num, par_num, line_num,
                         word_num, left, top, width, height, conf, text)
                       tsv-chars: a tab-separated row per record
                       pdf: a searchable PDF, each page's image with its text
                         invisible above it (best written with -o FILE)
  -o, --output FILE    write to FILE instead of standard output (replaced only
                       when every page was read; never one of the inputs)
  -j, --jobs N         read N pages at a time (output stays in input order)
  -h, --help           show this help
  --version            show the version

A page or zone of light text on a dark ground is read inverted (except with
--area character). A character that could not be read is written as '~'. A
blank page gives no text and a note on standard error. Exit status: 0 when
every page was read, 1 when a file or page could not be read, 2 for a wrong
command line.
)";
}

}  // namespace omniocr::cli
