// A folder of this program's own, that only this user can reach, removed with
// everything in it when the object goes.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace folio::cli {

class PrivateFolder {
 public:
  // A new folder inside `parent`; null when it can't be made, with `error` saying why.
  static std::unique_ptr<PrivateFolder> Make(const std::filesystem::path& parent, std::string& error);
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;
  ~PrivateFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

  const std::filesystem::path& path() const { return path_; }

 private:
  explicit PrivateFolder(std::filesystem::path path) : path_(std::move(path)) {}

  std::filesystem::path path_;
};

}  // namespace folio::cli
