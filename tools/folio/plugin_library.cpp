#include "plugin_library.h"

namespace folio::cli {

std::unique_ptr<PluginLibrary> PluginLibrary::Load(const std::filesystem::path& path, std::string& error) {
  std::unique_ptr<PluginLibrary> library(new PluginLibrary(path));
  if (!library->Open(error)) return nullptr;
  std::string missing;
  if (!library->BindExports(missing)) {
    error = "it is not a Susie plug-in: it does not export " + missing;
    return nullptr;
  }
  return library;
}

bool PluginLibrary::BindExports(std::string& missing) {
  const auto bind = [&](auto& function, const char* name) {
    function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(FindExport(name));
    if (!function && missing.empty()) missing = name;
  };
  bind(GetPluginInfoW, "GetPluginInfoW");
  bind(GetArchiveInfoW, "GetArchiveInfoW");
  bind(GetFileW, "GetFileW");
#if !defined(_WIN32)
  bind(freeBlock_, "FolioFreeBlock");
#endif
  return missing.empty();
}

}  // namespace folio::cli
