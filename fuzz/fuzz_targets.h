#pragma once

// The bodies of the fuzz harnesses. Each takes one input, runs it through the
// code under test and returns normally for every outcome the code promises
// (a result or its own refusal); anything else (another exception, a crash, a
// broken invariant) ends the process. The libFuzzer entry points and the
// regression test that replays kept inputs call the same bodies.

#include <cstddef>
#include <cstdint>

namespace omniocr::fuzz {

// Image file bytes through the format-detecting reader, then the packed
// bitmap the tools hand to the engine.
void ReadImageTarget(const std::uint8_t* data, std::size_t size);

// Raw bytes as a packed bitmap block for the engine's bitmap loader, with the
// conversions and the histogram every run starts with.
void LoadDibTarget(const std::uint8_t* data, std::size_t size);

// A small bitmap and a parameter set, both taken from the bytes, through the
// whole recognition pipeline with letters on.
void PipelineTarget(const std::uint8_t* data, std::size_t size);

// The layout of a pipeline input: a header of parameters, then packed rows.
struct TPipelineHeader {
  int Width = 1, Height = 1, BitCount = 1, Zoom = 1;
  int AreaType = 3;
  bool CutRegions = false;
  int SpotRemoval = 2, MaxSpotSize = 8, SplitTouching = 2;
  bool Similarity = true, Context = true, RestrictAllowed = false;
};
constexpr std::size_t kPipelineHeaderBytes = 8;
TPipelineHeader ParsePipelineHeader(const std::uint8_t* data, std::size_t size);

}  // namespace omniocr::fuzz
