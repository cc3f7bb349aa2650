#include "cli/page_jobs.h"

#include <algorithm>

#include "imaging/image_io.h"

namespace omniocr::cli {

namespace {

int CountPages(const std::string& input, const THeldInput* held) {
  try {
    if (held != nullptr) return CountImages(held->Bytes.data(), held->Bytes.size());
    return CountFileImages(input);
  } catch (const std::exception&) {
    return 1;
  }
}

}  // namespace

std::vector<TPageJob> ListPageJobs(const TOptions& options, const THeldInputs& held) {
  std::vector<TPageJob> jobs;
  for (std::size_t i = 0; i < options.Inputs.size(); ++i) {
    if (options.Page > 0) {
      jobs.push_back({i, options.Page});
      continue;
    }
    const int pages = std::max(CountPages(options.Inputs[i], held.Find(i)), 1);
    for (int page = 1; page <= pages; ++page) jobs.push_back({i, page});
  }
  return jobs;
}

}  // namespace omniocr::cli
