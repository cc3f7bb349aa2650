#include "cli/page_result.h"

#include "engine/char_codes.h"

namespace omniocr::cli {

TRecordKind KindOf(const TOCRChar& record) {
  switch (record.BestChar) {
    case LineBreakChar: return TRecordKind::LineBreak;
    case SpaceChar: return TRecordKind::Space;
    case RejectedChar: return TRecordKind::Rejected;
    case NoChar: return TRecordKind::Unread;
    default: return TRecordKind::Character;
  }
}

const char* KindName(TRecordKind kind) {
  switch (kind) {
    case TRecordKind::Character: return "character";
    case TRecordKind::Space: return "space";
    case TRecordKind::LineBreak: return "line break";
    case TRecordKind::Rejected: return "rejected";
    case TRecordKind::Unread: break;
  }
  return "unread";
}

std::string PageText(const TPageResult& page) {
  std::string text;
  for (const TOCRChar& record : page.Records) text += RecordText(record);
  return text;
}

}  // namespace omniocr::cli
