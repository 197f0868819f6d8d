#include <unistd.h>

#include <cstdio>

#include "console.h"

namespace folio::cli {

void PrintOut(std::string_view utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fflush(stdout);
}

void PrintError(std::string_view utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stderr);
}

bool ErrorIsTerminal() {
  return isatty(STDERR_FILENO) == 1;
}

}  // namespace folio::cli
