#pragma once

// Reads every input of the command line, with one engine per worker thread,
// and writes the results in input order as they become ready.

#include <ostream>

#include "cli/options.h"

namespace omniocr::cli {

// Returns the exit status: 0 when every image was read, 1 otherwise.
int RunBatch(const TOptions& options, std::ostream& out, std::ostream& err, bool progressOnErr);

}  // namespace omniocr::cli
