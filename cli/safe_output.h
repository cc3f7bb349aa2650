#pragma once

// The output file of a run is written whole or not at all: the results go to
// a temporary file in the target's directory, which replaces the target only
// when the whole run succeeded. A failed or interrupted run leaves the target
// as it was, and an output that is also an input is refused before anything
// is opened for writing.

#include <fstream>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/options.h"

namespace omniocr::cli {

// An output that cannot be written, or that would overwrite an input.
class EOutputError : public std::runtime_error {
 public:
  explicit EOutputError(const std::string& message) : std::runtime_error(message) {}
};

// Raises when `output` names the same file (device and inode, whatever the
// path) as one of `inputs`; "-" stands for standard input.
void RefuseOutputThatIsAnInput(const std::string& output, const std::vector<std::string>& inputs);

class TSafeOutput {
 public:
  // Creates the temporary file beside `target`. A target that exists and is
  // no regular file (a terminal, a pipe, /dev/null) is written directly.
  explicit TSafeOutput(const std::string& target);
  ~TSafeOutput();
  TSafeOutput(const TSafeOutput&) = delete;
  TSafeOutput& operator=(const TSafeOutput&) = delete;

  std::ostream& Stream() { return File; }
  // The bytes go to a temporary file that replaces the target at Commit,
  // not to the target itself.
  bool Replaces() const { return !Temporary.empty(); }

  // Flushes the data to disk and renames the temporary file over the target.
  void Commit();
  // Removes the temporary file; the target stays untouched.
  void Discard();

 private:
  std::string Target;     // the file finally replaced (symbolic links resolved)
  std::string Temporary;  // empty when the target is written directly
  std::ofstream File;
};

// RunBatch with its output going to options.OutputPath through a TSafeOutput.
// Returns the exit status (2 when the output is also an input).
int RunBatchToFile(const TOptions& options, std::ostream& err, bool progressOnErr);

}  // namespace omniocr::cli
