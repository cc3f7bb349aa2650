#include "cli/batch.h"

#include <atomic>
#include <condition_variable>
#include <iostream>
#include <iterator>
#include <mutex>
#include <optional>
#include <thread>

#include "cli/formats.h"
#include "cli/page_jobs.h"
#include "cli/recognise.h"

namespace omniocr::cli {

namespace {

// Results in input order, filled by the workers, taken by the writer.
class TResultQueue {
 public:
  explicit TResultQueue(std::size_t count) : Results(count) {}
  void Put(std::size_t index, TPageResult result) {
    {
      std::lock_guard<std::mutex> lock(Mutex);
      Results[index] = std::move(result);
    }
    Ready.notify_all();
  }
  TPageResult Take(std::size_t index) {
    std::unique_lock<std::mutex> lock(Mutex);
    Ready.wait(lock, [&] { return Results[index].has_value(); });
    TPageResult result = std::move(*Results[index]);
    Results[index].reset();
    return result;
  }

 private:
  std::mutex Mutex;
  std::condition_variable Ready;
  std::vector<std::optional<TPageResult>> Results;
};

// Each worker owns its engine: engines share no state, so they run side by side.
void Work(const TOptions& options, const std::vector<TPageJob>& jobs, const THeldInputs& held,
          std::atomic<std::size_t>& next, TResultQueue& queue) {
  TOmnifontOCR engine;
  for (;;) {
    const std::size_t index = next.fetch_add(1);
    if (index >= jobs.size()) return;
    const TPageJob& job = jobs[index];
    queue.Put(index,
              RecognisePage(options.Inputs[job.Input], job.Page, held.Find(job.Input), options, engine));
  }
}

// "name" for a single page, "name, page N" for a page of a multi-page file.
std::string PageName(const TOptions& options, const std::vector<TPageJob>& jobs, std::size_t index) {
  const TPageJob& job = jobs[index];
  const bool several = options.Page > 1 || (index > 0 && jobs[index - 1].Input == job.Input) ||
                       (index + 1 < jobs.size() && jobs[index + 1].Input == job.Input);
  const std::string& name = options.Inputs[job.Input];
  return several ? name + ", page " + std::to_string(job.Page) : name;
}

class TProgress {
 public:
  TProgress(std::ostream& err, bool enabled, std::size_t total)
      : Err(err), Enabled(enabled && total > 1), Total(total) {}
  void Show(std::size_t done, const std::string& name) {
    if (!Enabled) return;
    Err << "\r\x1b[Komniocr: " << done << "/" << Total << " " << name << std::flush;
    Shown = true;
  }
  void Clear() {
    if (Shown) Err << "\r\x1b[K" << std::flush;
    Shown = false;
  }

 private:
  std::ostream& Err;
  bool Enabled;
  std::size_t Total;
  bool Shown = false;
};

}  // namespace

int RunBatch(const TOptions& options, std::ostream& out, std::ostream& err, bool progressOnErr) {
  const THeldInputs held(options.Inputs);
  const std::vector<TPageJob> jobs = ListPageJobs(options, held);
  const std::size_t count = jobs.size();
  TResultQueue queue(count);
  std::atomic<std::size_t> next{0};
  const std::size_t workers = std::min<std::size_t>(static_cast<std::size_t>(options.Jobs), count);
  // A single worker would leave this thread waiting: it reads the pages
  // itself, without a thread's start, stack and memory arena.
  std::optional<TOmnifontOCR> ownEngine;
  std::vector<std::thread> threads;
  if (workers <= 1) {
    ownEngine.emplace();
  } else {
    for (std::size_t i = 0; i < workers; ++i)
      threads.emplace_back(Work, std::cref(options), std::cref(jobs), std::cref(held), std::ref(next),
                           std::ref(queue));
  }
  auto take = [&](std::size_t index) {
    if (!ownEngine) return queue.Take(index);
    const TPageJob& job = jobs[index];
    return RecognisePage(options.Inputs[job.Input], job.Page, held.Find(job.Input), options, *ownEngine);
  };

  TProgress progress(err, progressOnErr, count);
  const std::unique_ptr<TPageWriter> writer = MakePageWriter(options);
  int status = 0;
  int pageIndex = 0;
  auto report = [&](std::size_t index, const std::string& message) {
    progress.Clear();
    err << "omniocr: " << PageName(options, jobs, index) << ": " << message << std::endl;
  };
  writer->Begin(out);
  for (std::size_t i = 0; i < count; ++i) {
    progress.Show(i, PageName(options, jobs, i));
    const TPageResult page = take(i);
    if (!page.Message.empty()) report(i, page.Message);
    if (page.Failed) {
      status = 1;
      writer->Missing(out, pageIndex++);
      continue;
    }
    try {
      writer->Page(out, page, pageIndex++);
    } catch (const std::exception& e) {
      report(i, e.what());
      status = 1;
    }
  }
  progress.Clear();
  try {
    writer->End(out);
  } catch (const std::exception& e) {
    err << "omniocr: " << e.what() << std::endl;
    status = 1;
  }
  for (std::thread& t : threads) t.join();
  if (!out) {
    err << "omniocr: error writing the output" << std::endl;
    status = 1;
  }
  return status;
}

}  // namespace omniocr::cli
