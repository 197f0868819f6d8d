// The INI reader over arbitrary files and names.  Input: a section name and a
// key name, each ended by a newline, then the document.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/ini_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  auto takeLine = [&input] {
    const std::size_t end = input.find('\n');
    const std::string_view line = input.substr(0, end);
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    return line;
  };
  const std::string_view section = takeLine();
  const std::string_view key = takeLine();
  if (const auto value = folio::base::FindIniValue(input, section, key)) {
    // A value is a piece of one line of the document, never more.
    if (value->size() > input.size() || value->find('\n') != std::string::npos) __builtin_trap();
    folio::base::ParseProfileInt(*value, 0);
  }
  return 0;
}
