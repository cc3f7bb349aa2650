#pragma once

// The pages a command line asks for, in output order: every page of each
// file, or only page --page N of each.

#include <cstdint>
#include <string>
#include <vector>

#include "cli/held_inputs.h"
#include "cli/options.h"

namespace omniocr::cli {

struct TPageJob {
  std::size_t Input = 0;  // index into the options' inputs
  int Page = 1;           // from 1
};

// A file whose pages cannot be counted (missing, unreadable, corrupt) gets
// one job, so that reading it reports why. Held inputs are counted from
// their bytes.
std::vector<TPageJob> ListPageJobs(const TOptions& options, const THeldInputs& held);

}  // namespace omniocr::cli
