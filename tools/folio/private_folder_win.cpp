#include <random>

#include "private_folder.h"

namespace folio::cli {

// A new folder inherits its parent's access, which for the user's temporary
// folder is the user's alone; the name is chosen until it is one of our own.
std::unique_ptr<PrivateFolder> PrivateFolder::Make(const std::filesystem::path& parent, std::string& error) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path path = parent / (".folio-" + std::to_string(random()));
    std::error_code failure;
    if (std::filesystem::create_directory(path, failure))
      return std::unique_ptr<PrivateFolder>(new PrivateFolder(path));
    if (failure) {
      error = failure.message();
      return nullptr;
    }
  }
  error = "no unused folder name was found";
  return nullptr;
}

}  // namespace folio::cli
