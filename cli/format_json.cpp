#include "cli/formats.h"
#include "cli/json_writer.h"
#include "engine/char_codes.h"

namespace omniocr::cli {

namespace {

void WriteBox(TJsonWriter& json, const TOCRChar& r) {
  json.Key("box");
  if (r.HasEmptyBox()) {
    json.Null();
    return;
  }
  json.BeginObject().Key("left").Int(r.Left).Key("top").Int(r.Top).Key("right").Int(r.Right);
  json.Key("bottom").Int(r.Bottom).Key("width").Int(r.Width()).Key("height").Int(r.Height()).EndObject();
}

void WriteCandidates(TJsonWriter& json, const TOCRChar& r) {
  json.Key("candidates").BeginArray();
  for (int i = 0; i < r.CandCount && i < kMaxCandidates; ++i) {
    json.BeginObject().Key("text").String(Utf8Encode(CodeToUnicode(r.CandChar[i])));
    json.Key("code").Int(CodeToUnicode(r.CandChar[i])).Key("confidence").Int(r.CandConf[i]).EndObject();
  }
  json.EndArray();
}

void WriteRecord(TJsonWriter& json, const TOCRChar& r) {
  const TRecordKind kind = KindOf(r);
  json.BeginObject().Key("kind").String(KindName(kind));
  json.Key("text").String(RecordText(r));
  json.Key("code").Int(
      kind == TRecordKind::Rejected || kind == TRecordKind::Unread ? 0 : CodeToUnicode(r.BestChar));
  json.Key("confidence").Int(BestConfidence(r));
  WriteBox(json, r);
  WriteCandidates(json, r);
  json.Key("line").Int(r.LineNo);
  json.Key("guides");
  if (r.LineNo == 0) {
    json.Null();
  } else {
    json.BeginObject().Key("ascender").Int(r.AscLine).Key("mean").Int(r.MeanLine).Key("base").Int(r.BaseLine);
    json.Key("descender").Int(r.DescLine).EndObject();
  }
  json.Key("id").Int(r.Id).Key("ink").Int(r.InkCount);
  json.Key("accent");
  if (r.Accent != 0)
    json.String(Utf8Encode(CodeToUnicode(r.Accent)));
  else
    json.Null();
  json.EndObject();
}

}  // namespace

std::string JsonPage(const TPageResult& page) {
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
  for (const TOCRChar& record : page.Records) WriteRecord(json, record);
  json.EndArray().EndObject();
  return json.Text() + "\n";
}

}  // namespace omniocr::cli
