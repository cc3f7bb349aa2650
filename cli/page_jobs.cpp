#include "cli/page_jobs.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "imaging/image_io.h"

namespace omniocr::cli {

namespace {

struct TFileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// Only files of multi-page formats are read whole to count their pages.
int CountFilePages(const std::string& path) {
  std::uint8_t head[1024];
  std::size_t got = 0;
  {
    std::unique_ptr<std::FILE, TFileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return 1;
    got = std::fread(head, 1, sizeof head, file.get());
  }
  const TImageFormat format = DetectImageFormat(head, got);
  if (format != TImageFormat::Tiff && format != TImageFormat::Pdf) return 1;
  const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
  return CountImages(bytes.data(), bytes.size());
}

int CountPages(const std::string& input, const std::vector<std::uint8_t>& stdinBytes) {
  try {
    if (input == "-") return CountImages(stdinBytes.data(), stdinBytes.size());
    return CountFilePages(input);
  } catch (const std::exception&) {
    return 1;
  }
}

}  // namespace

std::vector<TPageJob> ListPageJobs(const TOptions& options, const std::vector<std::uint8_t>& stdinBytes) {
  std::vector<TPageJob> jobs;
  for (std::size_t i = 0; i < options.Inputs.size(); ++i) {
    if (options.Page > 0) {
      jobs.push_back({i, options.Page});
      continue;
    }
    const int pages = std::max(CountPages(options.Inputs[i], stdinBytes), 1);
    for (int page = 1; page <= pages; ++page) jobs.push_back({i, page});
  }
  return jobs;
}

}  // namespace omniocr::cli
