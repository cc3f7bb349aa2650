#pragma once

// Correction by context: readings that shapes alone cannot tell apart (I l 1 |,
// O 0, o s B beside digits, the case of c k p u v w x y z) settled by their
// neighbours in reading order, with a space inserted before a capital that
// starts a run-together word, a narrow space before punctuation removed and
// two single quotes merged into a double quote.

#include <cstdint>

#include "engine/ocr_types.h"

namespace omniocr {

// The confidence of candidate `ch` in the record's list (the first match), 0
// when it is not a candidate. Raises "There is something wrong with testac()!"
// on a corrupt candidate count.
std::uint16_t TestAC(const TOCRChar& record, TCharCode ch);

}  // namespace omniocr
