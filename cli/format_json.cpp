// JSON: one object per page with the flat list of records and the page's
// lines with their words; the README documents the schema.

#include "cli/formats.h"
#include "cli/json_writer.h"
#include "cli/page_layout.h"
#include "engine/char_codes.h"

namespace omniocr::cli {

namespace {

// A line break is "\n" in the text, so its code and candidate are 10 too.
char32_t UnicodeOf(TCharCode code) { return code == LineBreakChar ? U'\n' : CodeToUnicode(code); }

void WriteBox(TJsonWriter& json, const TBox& box) {
  json.Key("box");
  if (box.Empty()) {
    json.Null();
    return;
  }
  json.BeginObject().Key("left").Int(box.Left).Key("top").Int(box.Top).Key("right").Int(box.Right);
  json.Key("bottom")
      .Int(box.Bottom)
      .Key("width")
      .Int(box.Width())
      .Key("height")
      .Int(box.Height())
      .EndObject();
}

void WriteGuides(TJsonWriter& json, bool present, int asc, int mean, int base, int desc) {
  json.Key("guides");
  if (!present) {
    json.Null();
    return;
  }
  json.BeginObject().Key("ascender").Int(asc).Key("mean").Int(mean).Key("base").Int(base);
  json.Key("descender").Int(desc).EndObject();
}

void WriteCandidates(TJsonWriter& json, const TOCRChar& r) {
  json.Key("candidates").BeginArray();
  for (int i = 0; i < r.CandCount && i < kMaxCandidates; ++i) {
    json.BeginObject().Key("text").String(Utf8Encode(UnicodeOf(r.CandChar[i])));
    json.Key("code").Int(UnicodeOf(r.CandChar[i])).Key("confidence").Int(r.CandConf[i]).EndObject();
  }
  json.EndArray();
}

// `line` is the line the record belongs to; a line break belongs to the
// line it ends, though the engine gives it the next line's number.
void WriteRecord(TJsonWriter& json, const TOCRChar& r, const TLayoutLine* line) {
  const TRecordKind kind = KindOf(r);
  json.BeginObject().Key("kind").String(KindName(kind));
  json.Key("text").String(RecordText(r));
  json.Key("code").Int(kind == TRecordKind::Rejected || kind == TRecordKind::Unread ? 0
                                                                                    : UnicodeOf(r.BestChar));
  json.Key("confidence").Int(BestConfidence(r));
  WriteBox(json, BoxOf(r));
  WriteCandidates(json, r);
  if (kind == TRecordKind::LineBreak && line != nullptr) {
    json.Key("line").Int(line->LineNo);
    WriteGuides(json, line->HasGuides, line->Asc, line->Mean, line->Base, line->Desc);
  } else {
    json.Key("line").Int(r.LineNo);
    WriteGuides(json, r.LineNo != 0, r.AscLine, r.MeanLine, r.BaseLine, r.DescLine);
  }
  json.Key("id").Int(r.Id).Key("ink").Int(r.InkCount);
  json.Key("accent");
  if (r.Accent != 0)
    json.String(Utf8Encode(CodeToUnicode(r.Accent)));
  else
    json.Null();
  json.EndObject();
}

void WriteIndexes(TJsonWriter& json, const std::vector<std::size_t>& indexes) {
  json.Key("records").BeginArray();
  for (std::size_t index : indexes) json.Int(static_cast<std::int64_t>(index));
  json.EndArray();
}

void WriteLine(TJsonWriter& json, const TLayoutLine& line) {
  json.BeginObject();
  WriteBox(json, line.Box);
  WriteGuides(json, line.HasGuides, line.Asc, line.Mean, line.Base, line.Desc);
  json.Key("first_record").Int(static_cast<std::int64_t>(line.FirstRecord));
  json.Key("end_record").Int(static_cast<std::int64_t>(line.EndRecord));
  json.Key("words").BeginArray();
  for (const TLayoutWord& word : line.Words) {
    json.BeginObject();
    WriteBox(json, word.Box);
    json.Key("text").String(word.Text).Key("confidence").Int(word.Confidence);
    WriteIndexes(json, word.Records);
    json.EndObject();
  }
  json.EndArray().EndObject();
}

// The line whose record range holds each record, null for none.
std::vector<const TLayoutLine*> LineOfRecords(const std::vector<TLayoutLine>& lines, std::size_t count) {
  std::vector<const TLayoutLine*> owner(count, nullptr);
  for (const TLayoutLine& line : lines)
    for (std::size_t i = line.FirstRecord; i < line.EndRecord && i < count; ++i) owner[i] = &line;
  return owner;
}

}  // namespace

std::string JsonPage(const TPageResult& page) {
  const std::vector<TLayoutLine> lines = LayoutLines(page.Records);
  const std::vector<const TLayoutLine*> owner = LineOfRecords(lines, page.Records.size());
  TJsonWriter json;
  json.BeginObject().Key("file").String(page.Name).Key("page").Int(page.PageNumber);
  json.Key("width").Int(page.Width).Key("height").Int(page.Height);
  json.Key("zone").BeginObject().Key("left").Int(page.ZoneLeft).Key("top").Int(page.ZoneTop);
  json.Key("width").Int(page.ZoneWidth).Key("height").Int(page.ZoneHeight).EndObject();
  json.Key("threshold").Int(page.Threshold);
  json.Key("inverted").Bool(page.Inverted);
  json.Key("skew");
  if (page.SkewSearched) {
    json.BeginObject().Key("angle").Fixed(page.SkewAngle, 2).Key("corrected").Bool(page.Deskewed).EndObject();
  } else {
    json.Null();
  }
  json.Key("note");
  if (page.Message.empty())
    json.Null();
  else
    json.String(page.Message);
  json.Key("text").String(PageText(page));
  json.Key("records").BeginArray();
  for (std::size_t i = 0; i < page.Records.size(); ++i) WriteRecord(json, page.Records[i], owner[i]);
  json.EndArray();
  json.Key("lines").BeginArray();
  for (const TLayoutLine& line : lines) WriteLine(json, line);
  json.EndArray().EndObject();
  return json.Text() + "\n";
}

}  // namespace omniocr::cli
