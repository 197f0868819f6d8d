#include "support/temp_folder.h"

#include <atomic>
#include <random>

namespace folio::testing {

TempFolder::TempFolder() {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  for (;;) {
    path_ = std::filesystem::temp_directory_path() /
            ("folio-test-" + std::to_string(random()) + "-" + std::to_string(counter++));
    if (std::filesystem::create_directory(path_)) return;
  }
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace folio::testing
