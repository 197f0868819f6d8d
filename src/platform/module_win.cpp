// The plug-in's module handle, stored on every loader notification.
#include <windows.h>

#include "platform/module.h"
#include "platform/text_engine.h"

namespace {
// Null when this code is linked into a program: the program's own path is then used.
HMODULE storedModule = nullptr;
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
  storedModule = module;
  // Unloaded by FreeLibrary (reserved is null): give back what the text
  // engine kept.  When the process ends instead, its other threads are
  // already gone; the system reclaims everything, and releasing graphics
  // objects now could hang it.
  if (reason == DLL_PROCESS_DETACH && !reserved) folio::platform::ReleaseKeptEngineObjects();
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
