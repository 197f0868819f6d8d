// The host's ANSI strings in the calling thread's ANSI code page.
#include <windows.h>

#include "platform/code_pages.h"

namespace folio::platform {

std::u16string AnsiToWide(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int length =
      MultiByteToWideChar(CP_THREAD_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::u16string result(length > 0 ? length : 0, u'\0');
  if (length > 0) {
    MultiByteToWideChar(CP_THREAD_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                        reinterpret_cast<wchar_t*>(result.data()), length);
  }
  return result;
}

std::string WideToAnsi(std::u16string_view text) {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length =
      WideCharToMultiByte(CP_THREAD_ACP, 0, wide, static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string result(length > 0 ? length : 0, '\0');
  if (length > 0) {
    WideCharToMultiByte(CP_THREAD_ACP, 0, wide, static_cast<int>(text.size()), result.data(), length, nullptr,
                        nullptr);
  }
  return result;
}

}  // namespace folio::platform
