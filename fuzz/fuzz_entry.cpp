// The libFuzzer entry point of one harness; OMNIOCR_FUZZ_TARGET names its body.

#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  omniocr::fuzz::OMNIOCR_FUZZ_TARGET(data, size);
  return 0;
}
