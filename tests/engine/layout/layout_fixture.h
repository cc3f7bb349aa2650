#pragma once

// A small page for the layout stages: boxes drawn as ink on white paper, an
// engine whose Page and Threshold are set up as the pipeline would leave them,
// and helpers to run the stages or to build records by hand.

#include <memory>
#include <string>
#include <vector>

#include "engine/omnifont_ocr.h"
#include "support/test_bitmaps.h"

namespace omniocr::test {

struct TBoxSpec {
  int Left, Top, Right, Bottom;
};

class TLayoutPage {
 public:
  TLayoutPage(int width, int height) {
    Engine.Page = MakeGrey(width, height, 255);
    Engine.Threshold = 128;
  }

  TDIB& Page() { return *Engine.Page; }
  void Ink(int left, int top, int right, int bottom) { FillRect(Page(), left, top, right, bottom, 0); }
  void Ink(const TBoxSpec& box) { Ink(box.Left, box.Top, box.Right, box.Bottom); }

  // Extraction as the pipeline runs it (step G).
  void Extract() { Engine.ExtractCharacters(); }

  // Steps J and K.
  void FindLines(bool cutRegions = false) {
    Engine.ComputeCharStatistics();
    Engine.FindTextLines(cutRegions);
  }

  // Steps J to N.
  void RunLayout(bool cutRegions = false) {
    FindLines(cutRegions);
    Engine.AssignLines();
    Engine.SplitLineStraddlers();
    Engine.SplitBarJoined();
    Engine.SortReadingOrder();
    Engine.MergeFragments();
  }

  // A record added by hand, as extraction would make it.
  TOCRChar& AddRecord(const TBoxSpec& box) {
    TOCRChar* p = Engine.NewRecord();
    p->Left = box.Left;
    p->Top = box.Top;
    p->Right = box.Right;
    p->Bottom = box.Bottom;
    p->Id = ++Engine.CharCount;
    return *p;
  }

  // The record whose box is exactly this one; nullptr when there is none.
  TOCRChar* Find(const TBoxSpec& box) {
    for (int i = 0; i < Engine.Chars.Count(); ++i) {
      TOCRChar* p = Engine.Chars[i];
      if (p->Left == box.Left && p->Top == box.Top && p->Right == box.Right && p->Bottom == box.Bottom)
        return p;
    }
    return nullptr;
  }

  // Line entries 1.. as "asc/mean/base/desc".
  std::vector<std::string> LineGuides() const {
    std::vector<std::string> result;
    for (int i = 1; i < Engine.LineCount; ++i) {
      const TLineEntry& e = Engine.Lines[static_cast<std::size_t>(i)];
      result.push_back(std::to_string(e.Asc) + "/" + std::to_string(e.Mean) + "/" + std::to_string(e.Base) +
                       "/" + std::to_string(e.Desc));
    }
    return result;
  }

  TOmnifontOCR Engine;
};

inline void SetLine(TOCRChar& p, int lineNo, int asc, int mean, int base, int desc) {
  p.LineNo = lineNo;
  p.AscLine = asc;
  p.MeanLine = mean;
  p.BaseLine = base;
  p.DescLine = desc;
}

inline TLineEntry LineEntry(int asc, int mean, int base, int desc, int minX, int maxX) {
  return TLineEntry{asc, mean, base, desc, minX, maxX};
}

}  // namespace omniocr::test
