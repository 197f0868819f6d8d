#include <dlfcn.h>

#include "plugin_library.h"

namespace folio::cli {

bool PluginLibrary::Open(std::string& error) {
  // A name without a slash would send dlopen searching the library path.
  const std::filesystem::path absolute = std::filesystem::absolute(path_);
  // Kept mapped after unloading: the process ends soon after, and leak reports
  // at exit can still name the libraries their allocations came from.
  module_ = dlopen(absolute.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (!module_) {
    const char* reason = dlerror();
    error = reason ? reason : "the library can't be loaded";
  }
  return module_ != nullptr;
}

PluginLibrary::~PluginLibrary() {
  if (module_) dlclose(module_);
}

void* PluginLibrary::FindExport(const char* name) const {
  return dlsym(module_, name);
}

void PluginLibrary::FreeBlock(SusieHandle block) const {
  freeBlock_(block);
}

std::filesystem::path DefaultPluginPath() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return (error ? std::filesystem::path() : self.parent_path()) / "libfolio.so";
}

}  // namespace folio::cli
