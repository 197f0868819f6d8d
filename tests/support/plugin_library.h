// The built plug-in, loaded as a viewer loads it: from a folder of the test's
// own (where its INI file goes), used only through its exports.
#pragma once

#include <filesystem>
#include <string>

#include "folio/susie.h"
#include "support/plugin_module.h"
#include "support/temp_folder.h"

namespace folio::testing {

// A copy of the built library in a folder of its own.
struct LibraryCopy {
  explicit LibraryCopy(const std::filesystem::path& builtPath);
  TempFolder folder;
  std::filesystem::path path;
};

class PluginLibrary : private LibraryCopy, public PluginModule {
 public:
  // Copies the library at `builtPath` into a new folder and loads it there.
  explicit PluginLibrary(const std::filesystem::path& builtPath) : LibraryCopy(builtPath), PluginModule(path) {}

  const std::filesystem::path& folder() const { return LibraryCopy::folder.path(); }
  // The loaded copy, which other processes can load too, with its settings.
  const std::filesystem::path& libraryPath() const { return path; }
  // The INI file beside the library (the library's name with ".ini").
  std::filesystem::path SettingsPath() const;
  void WriteSettings(std::string_view lines) const;
  void RemoveSettings() const;
};

// The library that the API tests run against (set from the command line).
PluginLibrary& Plugin();
// The viewer_host program, which runs a viewer's calls in a process of its own.
const std::filesystem::path& ViewerHost();

// A string in the form the W functions take.
std::basic_string<SusieWideChar> WidePathText(const std::filesystem::path& path);
std::basic_string<SusieWideChar> Wide(std::u16string_view text);

}  // namespace folio::testing
