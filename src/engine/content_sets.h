#pragma once

// The expected content of a zone, as the desktop program's dialog and the
// command-line tool offer it, and the allowed characters each one sets.

#include <string>

namespace omniocr {

// In the order of the dialog's choices.
enum TContentKind { ckNumeric, ckUppercaseLetters, ckLowercaseLetters, ckLetters, ckAlphanumeric };

// The characters a content allows; empty for alphanumeric (every character).
// The strings are the programs' own, W after Z included.
inline std::u16string AllowedCharsForContent(TContentKind content) {
  switch (content) {
    case ckNumeric: return u"0123456789,./";
    case ckUppercaseLetters: return u"0123456789ABCDEFGHIJKLMNOPQRSTUVXYZW,./";
    case ckLowercaseLetters: return u"0123456789abcdefghijklmnopqrstuvxyzw,./";
    case ckLetters: return u"ABCDEFGHIJKLMNOPQRSTUVXYZWabcdefghijklmnopqrstuvxyzw,.";
    default: return u"";
  }
}

}  // namespace omniocr
