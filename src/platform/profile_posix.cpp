// The profile functions' rules over an INI file read with stdio.  Names and
// values are UTF-8.
#include <algorithm>
#include <cstdio>
#include <memory>

#include "base/ini_document.h"
#include "base/unicode.h"
#include "platform/profile.h"

namespace folio::platform {
namespace {

// No settings file is this large; a larger one is read only this far.
constexpr std::size_t kMaxIniBytes = 1 << 20;

std::string ReadIniFile(std::u16string_view iniPath) {
  std::unique_ptr<FILE, decltype(&std::fclose)> file(std::fopen(base::Utf16ToUtf8(iniPath).c_str(), "rb"),
                                                     &std::fclose);
  if (!file) return {};
  // Read in blocks: every key read reads the file again, and a buffer of
  // the cap's size would be cleared each time for a file of a few lines.
  std::string bytes;
  char block[4096];
  while (bytes.size() < kMaxIniBytes) {
    const std::size_t wanted = std::min(sizeof block, kMaxIniBytes - bytes.size());
    const std::size_t count = std::fread(block, 1, wanted, file.get());
    bytes.append(block, count);
    if (count < wanted) break;
  }
  return bytes;
}

std::optional<std::string> FindValue(std::u16string_view section, std::u16string_view key,
                                     std::u16string_view iniPath) {
  return base::FindIniValue(ReadIniFile(iniPath), base::Utf16ToUtf8(section), base::Utf16ToUtf8(key));
}

// What a buffer of `capacity` bytes or units keeps of a text.
template <typename String>
String Fit(String value, std::size_t capacity) {
  value.resize(std::min(value.size(), capacity ? capacity - 1 : 0));
  return value;
}

}  // namespace

int ReadProfileInt(std::u16string_view section, std::u16string_view key, int defaultValue,
                   std::u16string_view iniPath) {
  const auto value = FindValue(section, key, iniPath);
  return value ? base::ParseProfileInt(*value, defaultValue) : defaultValue;
}

std::u16string ReadProfileString(std::u16string_view section, std::u16string_view key,
                                 std::u16string_view defaultValue, std::u16string_view iniPath,
                                 std::size_t capacity) {
  const auto value = FindValue(section, key, iniPath);
  return Fit(value ? base::Utf8ToUtf16(*value) : std::u16string(defaultValue), capacity);
}

std::u16string ReadProfileUtf8String(std::u16string_view section, std::u16string_view key,
                                     std::u16string_view defaultValue, std::u16string_view iniPath,
                                     std::size_t capacity) {
  const auto value = FindValue(section, key, iniPath);
  if (!value) return Fit(std::u16string(defaultValue), capacity);
  return base::Utf8ToUtf16(Fit(*value, capacity));
}

}  // namespace folio::platform
