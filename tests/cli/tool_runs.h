#pragma once

// What the tests of the command-line tool share: whole files read and
// written, and a shell command run with its output captured in files.

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace omniocr::test {

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

struct TRun {
  int Status = -1;  // the exit status, -1 when the command did not exit
  std::string Out, Err;
};

// Runs `command` in the shell with its standard output sent to the file
// `out` and its standard error to `err`, and reads both back.
inline TRun RunCaptured(const std::string& command, const std::string& out, const std::string& err) {
  const int raw = std::system((command + " >" + out + " 2>" + err).c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(out), ReadFile(err)};
}

}  // namespace omniocr::test
