// Correction by context, the last stage of a run. Each record is judged by
// the records beside it in reading order; a reading only changes to a
// character the recognisers offered for it, except for the case of letters
// whose two forms share a shape, the spaces and the double quote.

#include "engine/context_correction.h"

#include <cstdlib>
#include <memory>
#include <string_view>

#include "dibunit/errors.h"
#include "engine/classify/candidates.h"
#include "engine/omnifont_ocr.h"

namespace omniocr {

namespace {

constexpr TCharCode kQuotationMark = 34;
constexpr TCharCode kApostrophe = 39;
constexpr TCharCode kGraveAccent = 96;

// Codes are compared as they are against ASCII sets: a code of 128 or more
// (RejectedChar among them) belongs to none, and NoChar to none either.
bool InSet(TCharCode c, std::string_view set) {
  return c != NoChar && c < 128 && set.find(static_cast<char>(c)) != std::string_view::npos;
}

bool IsDigit(TCharCode c) { return c >= u'0' && c <= u'9'; }
bool IsUpperLetter(TCharCode c) { return c >= u'A' && c <= u'Z'; }
bool IsLowerLetter(TCharCode c) { return c >= u'a' && c <= u'z'; }
TCharCode ToUpper(TCharCode c) { return IsLowerLetter(c) ? static_cast<TCharCode>(c - 32) : c; }
TCharCode ToLower(TCharCode c) { return IsUpperLetter(c) ? static_cast<TCharCode>(c + 32) : c; }

bool Reads(const TOCRChar* record, TCharCode c) { return record != nullptr && record->BestChar == c; }
bool IsDigitRecord(const TOCRChar& r) { return IsDigit(r.BestChar); }
bool IsSpaceRecord(const TOCRChar& r) { return r.BestChar == SpaceChar; }

// Where a word, a line or a quotation starts.
bool IsWordOpener(const TOCRChar& r) {
  return r.BestChar == kQuotationMark || r.BestChar == SpaceChar || r.BestChar == LineBreakChar;
}

bool IsSingleQuote(TCharCode c) { return c == kApostrophe || c == kGraveAccent; }

// Takes `c` when the recognisers offered it for the record.
void Offer(TOCRChar& cur, TCharCode c) {
  if (TestAC(cur, c) > 0) cur.BestChar = c;
}

// The neighbourhood of the record being corrected.
struct TContext {
  TOCRChar& Cur;
  const TOCRChar& Prev;
  const TOCRChar& Next;
  const TOCRChar* Prev2;  // none at the second position
};

// I, l, 1 and | by what stands around them.
void CorrectVerticalStroke(const TContext& k) {
  const TCharCode next = k.Next.BestChar;
  const bool sentenceStart =
      k.Prev.BestChar == LineBreakChar || (IsSpaceRecord(k.Prev) && Reads(k.Prev2, u'.'));
  if (!IsDigit(next) && next != u'i' && sentenceStart) {
    Offer(k.Cur, u'I');
  } else if (k.Cur.BestChar != u'1' && InSet(next, "bcdfghjklmnpqrstvwxz") && IsWordOpener(k.Prev)) {
    Offer(k.Cur, u'I');
  } else if (InSet(next, "aeiouy")) {
    Offer(k.Cur, u'l');
  } else if (IsUpperLetter(next) && !InSet(next, "O0I123456789") && !InSet(k.Prev.BestChar, "O0I123456789")) {
    Offer(k.Cur, u'I');
  } else if (IsLowerLetter(k.Prev.BestChar)) {
    Offer(k.Cur, u'l');
  } else if (IsDigitRecord(k.Prev) || IsDigitRecord(k.Next)) {
    Offer(k.Cur, u'1');
  }
}

void CorrectRound(const TContext& k) {
  const bool digitBefore = IsDigitRecord(k.Prev), digitAfter = IsDigitRecord(k.Next);
  if (IsSpaceRecord(k.Prev) && !digitAfter)
    Offer(k.Cur, u'O');
  else if (!digitBefore && !digitAfter)
    Offer(k.Cur, u'O');
  else
    Offer(k.Cur, u'0');
}

// o, s and B read as the digit of the same shape beside a digit.
void CorrectBesideDigits(const TContext& k, TCharCode digit) {
  if (IsDigitRecord(k.Prev) || IsDigitRecord(k.Next)) Offer(k.Cur, digit);
}

// A capital between two small letters, much further from the letter before
// it than from the one after it, starts a word run into the previous one.
bool StartsRunTogetherWord(const TContext& k) {
  return IsLowerLetter(k.Prev.BestChar) && IsLowerLetter(k.Next.BestChar) &&
         2 * (k.Cur.Left - k.Prev.Right) > 3 * (k.Next.Left - k.Cur.Right);
}

// The case of a letter whose capital and small forms share a shape follows a
// neighbour of about the same height.
void CorrectCaseByHeight(const TContext& k) {
  const int prevHeight = k.Prev.Bottom - k.Prev.Top;
  const int curHeight = k.Cur.Bottom - k.Cur.Top;
  if (10 * std::abs(prevHeight - curHeight) >= prevHeight) return;  // |difference| < prevHeight / 10
  k.Cur.BestChar = IsUpperLetter(k.Prev.BestChar) ? ToUpper(k.Cur.BestChar) : ToLower(k.Cur.BestChar);
}

enum class TGroupResult { Done, InsertSpace };

// The first rule group whose entry condition holds, whether or not it
// changes anything.
TGroupResult ApplyRuleGroup(const TContext& k) {
  const TCharCode c = k.Cur.BestChar;
  if (InSet(c, "Il1|")) {
    CorrectVerticalStroke(k);
  } else if (InSet(c, "O0")) {
    CorrectRound(k);
  } else if (InSet(c, "oO")) {
    CorrectBesideDigits(k, u'0');
  } else if (InSet(c, "sS")) {
    CorrectBesideDigits(k, u'5');
  } else if (InSet(c, "B")) {
    CorrectBesideDigits(k, u'8');
  } else if (IsUpperLetter(c)) {
    if (StartsRunTogetherWord(k)) return TGroupResult::InsertSpace;
  } else if (InSet(c, "CKOPSUVWXYZckopsuvwxyz")) {
    CorrectCaseByHeight(k);
  }
  return TGroupResult::Done;
}

// The space record put between prev and a capital that starts a new word.
std::unique_ptr<TOCRChar> MakeWordSpace(const TOmnifontOCR& engine, const TOCRChar& prev,
                                        const TOCRChar& cur) {
  auto space = std::make_unique<TOCRChar>();
  space->Left = prev.Right + 2;
  space->Right = cur.Left - 2;
  space->Top = cur.Top;
  space->Bottom = cur.Bottom;
  space->StartX = cur.Left - 1;
  space->StartY = cur.Top;
  space->MarkAbove = 0;
  space->Id = -1;
  CopyLineFields(*space, cur);
  space->LineNo = prev.LineNo;
  space->Page = engine.Page.get();
  SetSeparatorCandidate(*space, SpaceChar);
  return space;
}

// A narrow space before punctuation goes; two single quotes in a row become
// one double quote on the second one's box. True when prev was removed.
bool ApplyTailRules(const TOmnifontOCR& engine, const TOCRChar& prev, TOCRChar& cur) {
  if (IsSpaceRecord(prev) && InSet(cur.BestChar, ".,;:!?)") &&
      prev.Right - prev.Left < 2 * engine.MeanCharWidth)
    return true;
  if (IsSingleQuote(prev.BestChar) && IsSingleQuote(cur.BestChar) &&
      prev.Right - cur.Left < engine.MeanCharWidth) {
    cur.BestChar = kQuotationMark;
    return true;
  }
  return false;
}

}  // namespace

std::uint16_t TestAC(const TOCRChar& record, TCharCode ch) {
  if (record.CandCount > kMaxCandidates || record.CandCount < 0)
    throw EOCRError("There is something wrong with testac()!");
  for (int i = 0; i < record.CandCount; ++i)
    if (record.CandChar[i] == ch) return record.CandConf[i];
  return 0;
}

// The first record (no prev) and the last (no next) are never judged. After
// a removal the walk goes on at the next position, so the record right after
// the survivor is not judged as cur.
void TOmnifontOCR::CorrectByContext() {
  for (int i = 1; i < Chars.Count() - 1; ++i) {
    TOCRChar& cur = *Chars[i];
    TOCRChar& prev = *Chars[i - 1];
    const TContext context{cur, prev, *Chars[i + 1], i >= 2 ? Chars[i - 2] : nullptr};
    if (ApplyRuleGroup(context) == TGroupResult::InsertSpace) {
      // cur moves to i + 1 and is judged again there, with the space as prev.
      Chars.Insert(i, MakeWordSpace(*this, prev, cur));
      continue;
    }
    if (ApplyTailRules(*this, prev, cur)) Chars.Delete(i - 1);
  }
}

}  // namespace omniocr
