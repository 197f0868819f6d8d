#include "support/plugin_library.h"

#include "support/test_files.h"

namespace folio::testing {

LibraryCopy::LibraryCopy(const std::filesystem::path& builtPath) : path(folder / builtPath.filename()) {
  std::filesystem::copy_file(builtPath, path);
}

std::filesystem::path PluginLibrary::SettingsPath() const {
  return std::filesystem::path(libraryPath()).replace_extension(".ini");
}

void PluginLibrary::WriteSettings(std::string_view lines) const {
  testing::WriteSettings(SettingsPath(), lines);
}

void PluginLibrary::RemoveSettings() const {
  std::error_code ignored;
  std::filesystem::remove(SettingsPath(), ignored);
}

std::basic_string<SusieWideChar> WidePathText(const std::filesystem::path& path) {
  return Wide(path.u16string());
}

std::basic_string<SusieWideChar> Wide(std::u16string_view text) {
  return std::basic_string<SusieWideChar>(text.begin(), text.end());
}

}  // namespace folio::testing
