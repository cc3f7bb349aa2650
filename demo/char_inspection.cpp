#include "demo/char_inspection.h"

#include <algorithm>

#include "demo/result_drawing.h"

namespace omniocr::demo {

int FindClickedRecord(const std::vector<TOCRChar>& records, int x, int y) {
  for (std::size_t i = 0; i < records.size(); ++i)
    if (EnlargedBox(records[i]).Contains(x, y)) return static_cast<int>(i);
  return -1;
}

QString CandidateText(const TOCRChar& record) {
  QString text;
  // A count beyond the slots would read past the arrays; hold it to them.
  const int count = std::clamp(record.CandCount, 0, kMaxCandidates);
  for (int i = 0; i < count; ++i) {
    if (record.CandChar[i] == SpaceChar) {
      text = QStringLiteral("space");
      continue;
    }
    text += CharacterAsText(record.CandChar[i]) + QStringLiteral(" (") + QString::number(record.CandConf[i]) +
            QStringLiteral("%)\r\n");
  }
  if (text.isEmpty()) text = QStringLiteral("unkonown");
  return text;
}

}  // namespace omniocr::demo
