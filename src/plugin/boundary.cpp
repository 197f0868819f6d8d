#include "plugin/boundary.h"

#include "base/unicode.h"
#include "platform/code_pages.h"

namespace folio::plugin {
namespace {

template <typename Char>
std::optional<std::size_t> BoundedLength(const Char* text) {
  if (!text) return std::nullopt;
  for (std::size_t length = 0; length <= kMaxArgumentUnits; ++length) {
    if (text[length] == 0) return length;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::u16string> WideArgument(const SusieWideChar* text) {
  const auto length = BoundedLength(text);
  if (!length) return std::nullopt;
  return std::u16string(reinterpret_cast<const char16_t*>(text), *length);
}

std::optional<std::u16string> AnsiArgument(const char* text) {
  const auto length = BoundedLength(text);
  if (!length) return std::nullopt;
  return platform::AnsiToWide(std::string_view(text, *length));
}

std::string AnsiPrefixWithin(std::u16string_view text, std::size_t capacity) {
  std::string whole = platform::WideToAnsi(text);
  if (whole.size() <= capacity) return whole;
  std::string result;
  for (std::size_t i = 0; i < text.size();) {
    const bool pair = base::IsHighSurrogate(text[i]) && i + 1 < text.size();
    const std::size_t units = pair ? 2 : 1;
    const std::string character = platform::WideToAnsi(text.substr(i, units));
    if (result.size() + character.size() > capacity) break;
    result += character;
    i += units;
  }
  return result;
}

}  // namespace folio::plugin
