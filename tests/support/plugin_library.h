// The built plug-in, loaded as a viewer loads it: from a folder of the test's
// own (where its INI file goes), used only through its exports.
#pragma once

#include <filesystem>
#include <string>

#include "folio/susie.h"
#include "support/temp_folder.h"

namespace folio::testing {

class PluginLibrary {
 public:
  // Copies the library at `builtPath` into a new folder and loads it there.
  explicit PluginLibrary(const std::filesystem::path& builtPath);
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;
  ~PluginLibrary();

  const std::filesystem::path& folder() const { return folder_.path(); }
  // The INI file beside the library (the library's name with ".ini").
  std::filesystem::path SettingsPath() const;
  void WriteSettings(std::string_view lines) const;
  void RemoveSettings() const;

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
  TempFolder folder_;
  std::filesystem::path libraryPath_;
  void* module_ = nullptr;
  FolioFreeBlockFunction freeBlock_ = nullptr;
};

// The library that the API tests run against (set from the command line).
PluginLibrary& Plugin();

// A string in the form the W functions take.
std::basic_string<SusieWideChar> WidePathText(const std::filesystem::path& path);
std::basic_string<SusieWideChar> Wide(std::u16string_view text);

}  // namespace folio::testing
