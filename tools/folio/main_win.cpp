// The command line arrives in UTF-16 (wmain), so paths in any language survive.
#include <string>
#include <vector>

#include "base/unicode.h"
#include "cli.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) {
    const std::wstring_view argument(argv[i]);
    arguments.push_back(folio::base::Utf16ToUtf8(std::u16string(argument.begin(), argument.end())));
  }
  return folio::cli::Run(std::move(arguments));
}
