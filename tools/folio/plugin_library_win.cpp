#include <windows.h>

#include <string>

#include "base/unicode.h"
#include "plugin_library.h"

namespace folio::cli {
namespace {

std::string SystemMessage(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (!text) return "system error " + std::to_string(code);
  std::u16string message(reinterpret_cast<const char16_t*>(text), length);
  LocalFree(text);
  while (!message.empty() && (message.back() == u'\n' || message.back() == u'\r' || message.back() == u' ')) {
    message.pop_back();
  }
  if (message.empty()) return "system error " + std::to_string(code);
  return base::Utf16ToUtf8(message);
}

}  // namespace

bool PluginLibrary::Open(std::string& error) {
  // An absolute path lets the library's own folder be searched for what it loads.
  const std::filesystem::path absolute = std::filesystem::absolute(path_);
  module_ = LoadLibraryExW(absolute.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!module_) error = SystemMessage(GetLastError());
  return module_ != nullptr;
}

PluginLibrary::~PluginLibrary() {
  if (module_) FreeLibrary(static_cast<HMODULE>(module_));
}

void* PluginLibrary::FindExport(const char* name) const {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module_), name));
}

void PluginLibrary::FreeBlock(SusieHandle block) const {
  LocalFree(block);
}

std::filesystem::path DefaultPluginPath() {
  constexpr const wchar_t* kPluginName = sizeof(void*) == 8 ? L"folio.sph" : L"folio.spi";
  std::wstring self(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
    if (length == 0) return kPluginName;
    if (length < self.size()) {
      self.resize(length);
      break;
    }
    self.resize(self.size() * 2);
  }
  return std::filesystem::path(self).parent_path() / kPluginName;
}

}  // namespace folio::cli
