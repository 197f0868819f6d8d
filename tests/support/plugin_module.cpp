#include "support/plugin_module.h"

#include <stdexcept>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace folio::testing {
namespace {

void* LoadModule(const std::filesystem::path& path, PluginModule::Unloading unloading) {
#if defined(_WIN32)
  (void)unloading;  // Windows reports no leaks at exit
  return LoadLibraryW(path.wstring().c_str());
#else
  const int keep = unloading == PluginModule::Unloading::KeepMapped ? RTLD_NODELETE : 0;
  return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | keep);
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

void UnloadModule(void* module) {
#if defined(_WIN32)
  FreeLibrary(static_cast<HMODULE>(module));
#else
  dlclose(module);
#endif
}

}  // namespace

PluginModule::PluginModule(const std::filesystem::path& path, Unloading unloading)
    : module_(LoadModule(path, unloading)) {
  if (!module_) throw std::runtime_error("can't load " + path.string());
  try {
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
  } catch (...) {
    UnloadModule(module_);
    throw;
  }
}

PluginModule::~PluginModule() {
  if (module_) UnloadModule(module_);
}

void PluginModule::FreeBlock(SusieHandle block) const {
#if defined(_WIN32)
  LocalFree(block);
#else
  freeBlock_(block);
#endif
}

}  // namespace folio::testing
