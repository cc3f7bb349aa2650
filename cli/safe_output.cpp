#include "cli/safe_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "cli/batch.h"

namespace omniocr::cli {

namespace {

std::string SystemError(const std::string& path) { return path + ": " + std::strerror(errno); }

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// An interrupted run must not leave its temporary file behind: the handler
// removes it (unlink is safe in a signal handler) and then dies of the signal.
char PendingTemporary[PATH_MAX + 1];

void RemovePendingAndDie(int signal) {
  if (PendingTemporary[0] != 0) unlink(PendingTemporary);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

void WatchForInterruption(const std::string& temporary) {
  if (temporary.size() > PATH_MAX) return;
  std::memcpy(PendingTemporary, temporary.c_str(), temporary.size() + 1);
  for (int s : {SIGINT, SIGTERM, SIGHUP}) std::signal(s, RemovePendingAndDie);
}

void StopWatching() {
  for (int s : {SIGINT, SIGTERM, SIGHUP}) std::signal(s, SIG_DFL);
  PendingTemporary[0] = 0;
}

// The file a path finally names: symbolic links are followed so that the
// link stays and the file it points to is replaced.
std::string ResolvedTarget(const std::string& path) {
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) != nullptr) return resolved;
  return path;
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A new file gets the permissions any new file of the user would get; a
// replaced one keeps its own permissions and, where allowed, its owner.
void TakeOverPermissions(int fd, const struct stat* existing) {
  if (existing != nullptr) {
    if (fchown(fd, existing->st_uid, existing->st_gid) != 0) {
      // Not ours to give away: the new file stays ours, with the old mode.
    }
    fchmod(fd, existing->st_mode & 07777);
    return;
  }
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
}

}  // namespace

void RefuseOutputThatIsAnInput(const std::string& output, const std::vector<std::string>& inputs) {
  struct stat target;
  if (stat(output.c_str(), &target) != 0) return;  // nothing there yet: nothing to lose
  for (const std::string& input : inputs) {
    struct stat source;
    const int found = input == "-" ? fstat(STDIN_FILENO, &source) : stat(input.c_str(), &source);
    if (found == 0 && SameFile(source, target))
      throw EOutputError(output + ": the output file is also an input" +
                         (input == "-"      ? " (standard input)"
                          : input == output ? ""
                                            : " (" + input + ")") +
                         "; choose another output");
  }
}

TSafeOutput::TSafeOutput(const std::string& target) : Target(ResolvedTarget(target)) {
  struct stat existing;
  const bool exists = stat(Target.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) {
    File.open(Target, std::ios::binary);
    if (!File) throw EOutputError(SystemError(target));
    return;
  }
  std::string pattern = DirectoryOf(Target) + "/." + BaseNameOf(Target) + ".XXXXXX";
  const int fd = mkstemp(pattern.data());
  if (fd < 0) throw EOutputError(SystemError(target));
  Temporary = pattern;
  WatchForInterruption(Temporary);
  TakeOverPermissions(fd, exists ? &existing : nullptr);
  close(fd);
  File.open(Temporary, std::ios::binary | std::ios::trunc);
  if (!File) {
    const std::string reason = SystemError(target);
    Discard();
    throw EOutputError(reason);
  }
}

TSafeOutput::~TSafeOutput() { Discard(); }

void TSafeOutput::Commit() {
  File.flush();
  const bool written = File.good();
  File.close();
  if (!written || File.fail()) {
    errno = errno ? errno : EIO;
    const std::string reason = SystemError(Target);
    Discard();
    throw EOutputError(reason);
  }
  if (Temporary.empty()) return;
  // The data reaches the disk before the name moves, so that a crash cannot
  // leave the target empty.
  const int fd = open(Temporary.c_str(), O_RDONLY);
  const bool synced = fd >= 0 && fsync(fd) == 0;
  if (fd >= 0) close(fd);
  if (!synced || std::rename(Temporary.c_str(), Target.c_str()) != 0) {
    const std::string reason = SystemError(Target);
    Discard();
    throw EOutputError(reason);
  }
  Temporary.clear();
  StopWatching();
}

void TSafeOutput::Discard() {
  if (File.is_open()) File.close();
  if (Temporary.empty()) return;
  unlink(Temporary.c_str());
  Temporary.clear();
  StopWatching();
}

int RunBatchToFile(const TOptions& options, std::ostream& err, bool progressOnErr) {
  try {
    RefuseOutputThatIsAnInput(options.OutputPath, options.Inputs);
  } catch (const EOutputError& e) {
    err << "omniocr: " << e.what() << std::endl;
    return 2;
  }
  try {
    TSafeOutput output(options.OutputPath);
    const int status = RunBatch(options, output.Stream(), err, progressOnErr);
    if (status != 0) {
      const bool replacing = output.Replaces();
      output.Discard();
      if (replacing)
        err << "omniocr: " << options.OutputPath << ": left unchanged, as the run failed" << std::endl;
      return status;
    }
    output.Commit();
    return 0;
  } catch (const EOutputError& e) {
    err << "omniocr: " << e.what() << std::endl;
    return 1;
  }
}

}  // namespace omniocr::cli
