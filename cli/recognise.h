#pragma once

// Reads one image and runs one engine on it with the command line's
// parameters. Never throws: failures come back in the result.

#include <cstdint>
#include <string>
#include <vector>

#include "cli/held_inputs.h"
#include "cli/options.h"
#include "cli/page_result.h"
#include "engine/omnifont_ocr.h"

namespace omniocr::cli {

// The engine's parameters from the options.
void ConfigureEngine(const TOptions& options, TOmnifontOCR& engine);

// Page `page` (from 1) of `input`, a file name or "-", read from `held`
// when that is not null (see THeldInputs). The page image stays in the
// result when the output needs it (PDF).
TPageResult RecognisePage(const std::string& input, int page, const THeldInput* held, const TOptions& options,
                          TOmnifontOCR& engine);

}  // namespace omniocr::cli
