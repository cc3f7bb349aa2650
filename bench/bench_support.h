#pragma once

// Small helpers shared by the benchmark programs.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "dibunit/dib.h"
#include "dibunit/global_memory.h"
#include "engine/omnifont_ocr.h"

namespace omniocr::bench {

// A copy of a bitmap's packed bytes in a new global block, as a caller hands
// a page to the engine; the caller frees it.
inline TGlobalHandle PackedCopy(const TDIB& page) {
  TGlobalHandle handle = GlobalAllocZeroed(static_cast<std::size_t>(page.DataSize));
  std::memcpy(GlobalLock(handle), page.Header, static_cast<std::size_t>(page.DataSize));
  GlobalUnlock(handle);
  return handle;
}

// The prose pages of the shared corpus: every *-prose.* image (its .txt
// left out) in $OMNIOCR_CORPUS, default /work/shared/corpus, or in its
// synthetic folder where it has one; none when the folder is not there.
inline std::vector<std::string> ProsePagePaths() {
  const char* env = std::getenv("OMNIOCR_CORPUS");
  std::filesystem::path dir = env != nullptr ? env : "/work/shared/corpus";
  if (std::filesystem::is_directory(dir / "synthetic")) dir /= "synthetic";
  std::vector<std::string> pages;
  if (!std::filesystem::is_directory(dir)) return pages;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (name.find("-prose.") != std::string::npos && entry.path().extension() != ".txt")
      pages.push_back(entry.path().string());
  }
  return pages;
}

// The pipeline up to the recognition pass, as Recognize runs it.
inline void PrepareForRecognition(TOmnifontOCR& engine, TGlobalHandle handle) {
  engine.BeginRun();
  engine.CopyInputToPage(handle);
  engine.ComputeThreshold();
  engine.ExtractCharacters();
  engine.RemoveSpots();
  engine.ComputeCharStatistics();
  engine.FindTextLines(false);
  engine.AssignLines();
  engine.SplitLineStraddlers();
  engine.SplitBarJoined();
  engine.SortReadingOrder();
  engine.MergeFragments();
  engine.SpacingStatistics();
}

// Times the recognition pass alone on the page, prepared and ended outside
// the timing, and adds its characters and dispatches to the counts.
inline void TimeRecognitionPass(benchmark::State& state, TOmnifontOCR& engine, TGlobalHandle handle,
                                std::int64_t& characters, std::int64_t& dispatches) {
  state.PauseTiming();
  PrepareForRecognition(engine, handle);
  const int count = engine.Chars.Count();
  state.ResumeTiming();
  engine.RecognitionPass();
  state.PauseTiming();
  characters += count;
  dispatches += engine.DispatchCount;
  engine.EndRun();
  state.ResumeTiming();
}

// The counters of a recognition pass: dispatches and microseconds per
// character.
inline void SetPerCharacterCounters(benchmark::State& state, std::int64_t characters,
                                    std::int64_t dispatches) {
  state.counters["dispatches_per_char"] =
      characters > 0 ? static_cast<double>(dispatches) / static_cast<double>(characters) : 0.0;
  state.counters["us_per_char"] = benchmark::Counter(
      static_cast<double>(characters), benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
      benchmark::Counter::OneK::kIs1000);
}

}  // namespace omniocr::bench
