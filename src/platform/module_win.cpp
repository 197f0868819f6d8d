// The plug-in's module handle, stored on every loader notification.
#include <windows.h>

#include "platform/module.h"

namespace {
// Null when this code is linked into a program: the program's own path is then used.
HMODULE storedModule = nullptr;
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD, LPVOID) {
  storedModule = module;
  return TRUE;
}

namespace folio::platform {

std::u16string ModulePath() {
  std::u16string path(MAX_PATH, u'\0');
  for (;;) {
    DWORD length =
        GetModuleFileNameW(storedModule, reinterpret_cast<wchar_t*>(path.data()), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

std::optional<ClientSize> ActiveWindowClientSize() {
  HWND window = GetActiveWindow();
  RECT client;
  if (!window || !GetClientRect(window, &client)) return std::nullopt;
  return ClientSize{client.right, client.bottom};
}

}  // namespace folio::platform
