#include "staged_plugin.h"

#include <fstream>

#include "wide_text.h"

namespace folio::cli {
namespace {

// The whole file, read before anything is made, so that a file that can't be
// read leaves nothing behind.
bool ReadWhole(const std::filesystem::path& file, std::string& bytes, std::string& error) {
  std::error_code status;
  if (!std::filesystem::is_regular_file(file, status)) {
    error = status ? status.message() : "it is not a file";
    return false;
  }
  const std::uintmax_t size = std::filesystem::file_size(file, status);
  std::ifstream in(file, std::ios::binary);
  bytes.assign(status ? 0 : size, '\0');
  if (status || !in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
    error = status ? status.message() : "it can't be read";
    return false;
  }
  return true;
}

}  // namespace

StagedPlugin StagePlugin(const std::filesystem::path& library, const std::filesystem::path& settings,
                         std::string& error) {
  std::string bytes;
  if (!ReadWhole(settings, bytes, error)) {
    error = "can't read the settings file " + PathToUtf8(settings) + ": " + error;
    return {};
  }
  StagedPlugin staged{PrivateFolder::Make(std::filesystem::temp_directory_path(), error), {}};
  if (!staged.folder) {
    error = "can't make a private folder for the plug-in and its settings: " + error;
    return {};
  }
  staged.library = staged.folder->path() / library.filename();
  std::filesystem::path copiedSettings = staged.library;
  copiedSettings.replace_extension(".ini");
  std::error_code copyError;
  std::filesystem::copy_file(library, staged.library, copyError);
  if (copyError) {
    error = "can't copy the plug-in " + PathToUtf8(library) + ": " + copyError.message();
    return {};
  }
  std::ofstream out(copiedSettings, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    error = "can't copy the settings file " + PathToUtf8(settings);
    return {};
  }
  return staged;
}

}  // namespace folio::cli
