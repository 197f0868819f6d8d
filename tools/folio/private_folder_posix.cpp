#include <stdlib.h>

#include <cerrno>
#include <system_error>

#include "private_folder.h"

namespace folio::cli {

// mkdtemp makes the folder for its owner alone, whatever the umask.
std::unique_ptr<PrivateFolder> PrivateFolder::Make(const std::filesystem::path& parent, std::string& error) {
  std::string name = (parent / ".folio-XXXXXX").string();
  if (!mkdtemp(name.data())) {
    error = std::generic_category().message(errno);
    return nullptr;
  }
  return std::unique_ptr<PrivateFolder>(new PrivateFolder(name));
}

}  // namespace folio::cli
