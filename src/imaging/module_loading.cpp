#include "imaging/module_loading.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

#include "imaging/image_error.h"

namespace omniocr {

std::string ProgramFolder() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "";
  const std::string program(path, static_cast<std::size_t>(length));
  const std::size_t slash = program.rfind('/');
  return slash == std::string::npos ? "" : program.substr(0, slash);
}

void* LoadModuleEntry(const std::string& folder, const char* file, const char* entry, const char* purpose) {
  const std::string path = (folder.empty() ? std::string(".") : folder) + "/" + file;
  const auto failure = [&](const char* reason) {
    return EImageError(std::string(purpose) + " needs " + path +
                       ", which could not be loaded: " + (reason ? reason : "unknown reason"));
  };
  // Loading a module that is already loaded only counts a reference up.
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) throw failure(dlerror());
  dlerror();
  void* symbol = dlsym(module, entry);
  if (symbol == nullptr) throw failure(dlerror());
  return symbol;
}

}  // namespace omniocr
