#include "support/plugin_library.h"

#include <stdexcept>

#include "support/test_files.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace folio::testing {
namespace {

void* LoadModule(const std::filesystem::path& path) {
#if defined(_WIN32)
  return LoadLibraryW(path.wstring().c_str());
#else
  // Kept mapped after unloading, so that leak reports at exit can still name
  // the libraries their allocations came from (and suppressions match them).
  return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
#endif
}

void* FindExport(void* module, const char* name) {
#if defined(_WIN32)
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
#else
  return dlsym(module, name);
#endif
}

template <typename Function>
void Bind(void* module, Function& function, const char* name) {
  function = reinterpret_cast<Function>(FindExport(module, name));
  if (!function) throw std::runtime_error(std::string("the plug-in does not export ") + name);
}

}  // namespace

PluginLibrary::PluginLibrary(const std::filesystem::path& builtPath)
    : libraryPath_(folder_ / builtPath.filename()) {
  std::filesystem::copy_file(builtPath, libraryPath_);
  module_ = LoadModule(libraryPath_);
  if (!module_) throw std::runtime_error("can't load " + libraryPath_.string());
  Bind(module_, GetPluginInfo, "GetPluginInfo");
  Bind(module_, GetPluginInfoW, "GetPluginInfoW");
  Bind(module_, IsSupported, "IsSupported");
  Bind(module_, IsSupportedW, "IsSupportedW");
  Bind(module_, GetArchiveInfo, "GetArchiveInfo");
  Bind(module_, GetArchiveInfoW, "GetArchiveInfoW");
  Bind(module_, GetFileInfo, "GetFileInfo");
  Bind(module_, GetFileInfoW, "GetFileInfoW");
  Bind(module_, GetFile, "GetFile");
  Bind(module_, GetFileW, "GetFileW");
#if !defined(_WIN32)
  Bind(module_, freeBlock_, "FolioFreeBlock");
#endif
}

PluginLibrary::~PluginLibrary() {
#if defined(_WIN32)
  FreeLibrary(static_cast<HMODULE>(module_));
#else
  dlclose(module_);
#endif
}

std::filesystem::path PluginLibrary::SettingsPath() const {
  return std::filesystem::path(libraryPath_).replace_extension(".ini");
}

void PluginLibrary::WriteSettings(std::string_view lines) const {
  testing::WriteSettings(SettingsPath(), lines);
}

void PluginLibrary::RemoveSettings() const {
  std::error_code ignored;
  std::filesystem::remove(SettingsPath(), ignored);
}

void PluginLibrary::FreeBlock(SusieHandle block) const {
#if defined(_WIN32)
  LocalFree(block);
#else
  freeBlock_(block);
#endif
}

std::basic_string<SusieWideChar> WidePathText(const std::filesystem::path& path) {
  return Wide(path.u16string());
}

std::basic_string<SusieWideChar> Wide(std::u16string_view text) {
  return std::basic_string<SusieWideChar>(text.begin(), text.end());
}

}  // namespace folio::testing
