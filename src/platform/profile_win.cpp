// The private-profile functions.
#include <windows.h>

#include <vector>

#include "base/unicode.h"
#include "platform/code_pages.h"
#include "platform/profile.h"

namespace folio::platform {
namespace {

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

// A Windows string argument must be terminated; views are not.
std::u16string Terminated(std::u16string_view text) {
  return std::u16string(text);
}

}  // namespace

int ReadProfileInt(std::u16string_view section, std::u16string_view key, int defaultValue,
                   std::u16string_view iniPath) {
  return static_cast<int>(GetPrivateProfileIntW(Wide(Terminated(section)), Wide(Terminated(key)), defaultValue,
                                                Wide(Terminated(iniPath))));
}

std::u16string ReadProfileString(std::u16string_view section, std::u16string_view key,
                                 std::u16string_view defaultValue, std::u16string_view iniPath,
                                 std::size_t capacity) {
  if (capacity == 0) return {};
  std::vector<wchar_t> buffer(capacity);
  const DWORD length =
      GetPrivateProfileStringW(Wide(Terminated(section)), Wide(Terminated(key)), Wide(Terminated(defaultValue)),
                               buffer.data(), static_cast<DWORD>(capacity), Wide(Terminated(iniPath)));
  return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), length);
}

std::u16string ReadProfileUtf8String(std::u16string_view section, std::u16string_view key,
                                     std::u16string_view defaultValue, std::u16string_view iniPath,
                                     std::size_t capacity) {
  if (capacity == 0) return {};
  std::vector<char> buffer(capacity);
  const DWORD length = GetPrivateProfileStringA(WideToAnsi(section).c_str(), WideToAnsi(key).c_str(),
                                                WideToAnsi(defaultValue).c_str(), buffer.data(),
                                                static_cast<DWORD>(capacity), WideToAnsi(iniPath).c_str());
  return base::Utf8ToUtf16(std::string_view(buffer.data(), length));
}

}  // namespace folio::platform
