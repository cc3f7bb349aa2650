#pragma once

// Inspection of one character on the enlarged result zone: which record a
// click hits and the text that lists its candidates.

#include <QString>
#include <vector>

#include "engine/ocr_types.h"

namespace omniocr::demo {

// The index of the first record (in list order) whose enlarged box contains
// the point (x, y) of the enlarged zone; -1 when no box does.
int FindClickedRecord(const std::vector<TOCRChar>& records, int x, int y);

// One line "c (92%)" and a line break per candidate, best first; "space"
// for a space candidate (replacing the lines gathered before it);
// "unkonown" when the record has no candidates.
QString CandidateText(const TOCRChar& record);

}  // namespace omniocr::demo
