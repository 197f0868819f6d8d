// The folio command: picks the command named on the command line and runs it.
#pragma once

#include <string>
#include <vector>

namespace folio::cli {

// `arguments` are the words after the program's name, in UTF-8; the result is
// the exit status.
int Run(std::vector<std::string> arguments) noexcept;

}  // namespace folio::cli
