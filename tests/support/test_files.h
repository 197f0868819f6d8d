// Writing and reading whole files in tests, and UTF-16 paths for the core.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace folio::testing {

void WriteFile(const std::filesystem::path& path, std::string_view bytes);
std::string ReadFile(const std::filesystem::path& path);
// The path as the plug-in takes it: UTF-16.
std::u16string WidePath(const std::filesystem::path& path);
// An INI file with the section "SystemSetting" and these lines after it.
void WriteSettings(const std::filesystem::path& iniPath, std::string_view lines);

}  // namespace folio::testing
