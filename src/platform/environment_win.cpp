#include <windows.h>

#include "platform/environment.h"

namespace folio::platform {

std::optional<std::u16string> EnvironmentValue(std::string_view name) {
  const std::wstring wideName(name.begin(), name.end());
  const DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
  if (size == 0) return std::nullopt;
  std::wstring value(size, L'\0');
  const DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(), size);
  if (length >= size) return std::nullopt;  // changed meanwhile
  value.resize(length);
  return std::u16string(value.begin(), value.end());
}

}  // namespace folio::platform
