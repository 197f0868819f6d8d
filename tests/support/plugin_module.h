// A plug-in library loaded from a path and bound by its exports' plain
// names, as a viewer binds them (GetProcAddress, dlsym).
#pragma once

#include <filesystem>

#include "folio/susie.h"

namespace folio::testing {

class PluginModule {
 public:
  // KeepMapped: unloading leaves the code mapped (natively), so that leak
  // reports at exit can still name the library.  Unload: really unloaded.
  enum class Unloading { KeepMapped, Unload };

  explicit PluginModule(const std::filesystem::path& path, Unloading unloading = Unloading::KeepMapped);
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;
  ~PluginModule();  // unloads the library, unless Abandon was called

  // Leaves the library loaded for the rest of the process, as a host that
  // exits without unloading its plug-ins does.
  void Abandon() { module_ = nullptr; }

  // Releases a block that the library handed out (LocalFree on Windows).
  void FreeBlock(SusieHandle block) const;

  GetPluginInfoFunction GetPluginInfo = nullptr;
  GetPluginInfoWFunction GetPluginInfoW = nullptr;
  IsSupportedFunction IsSupported = nullptr;
  IsSupportedWFunction IsSupportedW = nullptr;
  GetArchiveInfoFunction GetArchiveInfo = nullptr;
  GetArchiveInfoWFunction GetArchiveInfoW = nullptr;
  GetFileInfoFunction GetFileInfo = nullptr;
  GetFileInfoWFunction GetFileInfoW = nullptr;
  GetFileFunction GetFile = nullptr;
  GetFileWFunction GetFileW = nullptr;

 private:
  void* module_ = nullptr;
  FolioFreeBlockFunction freeBlock_ = nullptr;
};

}  // namespace folio::testing
