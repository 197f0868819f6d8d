#include "base/ini_document.h"

#include <cstdint>

#include "base/unicode.h"

namespace folio::base {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view StripQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

}  // namespace

std::optional<std::string> FindIniValue(std::string_view document, std::string_view section,
                                        std::string_view key) {
  if (document.substr(0, 3) == "\xEF\xBB\xBF") document.remove_prefix(3);
  bool inSection = false;
  bool sectionSeen = false;
  while (!document.empty()) {
    const std::size_t end = document.find('\n');
    std::string_view line = Trim(document.substr(0, end));
    document.remove_prefix(end == std::string_view::npos ? document.size() : end + 1);

    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const std::size_t close = line.find(']');
      const std::string_view name = Trim(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
      // Only the first section of a name counts, as for the profile functions' cache.
      if (inSection) return std::nullopt;
      inSection = !sectionSeen && base::EqualsIgnoringAsciiCase(name, section);
      sectionSeen = sectionSeen || inSection;
      continue;
    }
    if (!inSection) continue;
    const std::size_t equals = line.find('=');
    const std::string_view name = Trim(line.substr(0, equals));
    if (!base::EqualsIgnoringAsciiCase(name, key)) continue;
    if (equals == std::string_view::npos) return std::string();
    return std::string(StripQuotes(Trim(line.substr(equals + 1))));
  }
  return std::nullopt;
}

int ParseProfileInt(std::string_view value, int defaultValue) {
  if (value.empty()) return defaultValue;
  std::size_t i = 0;
  while (i < value.size() && static_cast<unsigned char>(value[i]) <= ' ') ++i;
  bool negative = false;
  if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
  int base = 10;
  if (i + 1 < value.size() && value[i] == '0') {
    switch (value[i + 1]) {
      case 'x':
      case 'X': base = 16, i += 2; break;
      case 'o':
      case 'O': base = 8, i += 2; break;
      case 'b':
      case 'B': base = 2, i += 2; break;
      default: break;
    }
  }
  std::uint32_t result = 0;
  for (; i < value.size() && DigitValue(value[i]) < base; ++i) {
    result = result * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(DigitValue(value[i]));
  }
  if (negative) result = 0u - result;
  return static_cast<int>(result);
}

}  // namespace folio::base
