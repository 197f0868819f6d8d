#include <windows.h>

#include <string>

#include "base/unicode.h"
#include "console.h"

namespace folio::cli {
namespace {

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != 0;
}

// A console takes UTF-16 whatever its code page; a pipe or file gets the
// UTF-8 bytes unchanged.
void Write(DWORD standardHandle, std::string_view utf8) {
  const HANDLE handle = GetStdHandle(standardHandle);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE || utf8.empty()) return;
  DWORD written = 0;
  if (IsConsole(handle)) {
    const std::u16string units = base::Utf8ToUtf16(utf8);
    WriteConsoleW(handle, reinterpret_cast<const wchar_t*>(units.data()), static_cast<DWORD>(units.size()),
                  &written, nullptr);
  } else {
    WriteFile(handle, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
  }
}

}  // namespace

void PrintOut(std::string_view utf8) {
  Write(STD_OUTPUT_HANDLE, utf8);
}

void PrintError(std::string_view utf8) {
  Write(STD_ERROR_HANDLE, utf8);
}

bool ErrorIsTerminal() {
  return IsConsole(GetStdHandle(STD_ERROR_HANDLE));
}

}  // namespace folio::cli
