// The local (not roaming) application data folder: page indexes are
// specific to this machine's fonts and files.
#include <objbase.h>
#include <shlobj.h>
#include <windows.h>

#include <memory>

#include "platform/cache_folder.h"
#include "platform/environment.h"

namespace folio::platform {
namespace {

struct TaskMemoryFree {
  void operator()(wchar_t* block) const noexcept { CoTaskMemFree(block); }
};

// A folder as an absolute path: a drive's root or a server's share.
bool IsAbsolute(std::wstring_view path) {
  return (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) ||
         path.starts_with(L"\\\\");
}

std::optional<std::u16string> ChosenFolder() {
  std::optional<std::u16string> value = EnvironmentValue(kPageIndexFolderVariable);
  if (!value || !IsAbsolute(std::wstring_view(reinterpret_cast<const wchar_t*>(value->data()), value->size())))
    return std::nullopt;
  return value;
}

}  // namespace

std::optional<std::u16string> PageIndexFolder() {
  if (std::optional<std::u16string> chosen = ChosenFolder()) return chosen;
  wchar_t* found = nullptr;
  const HRESULT result = SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &found);
  // The block is the caller's whether the call succeeded or not.
  const std::unique_ptr<wchar_t, TaskMemoryFree> owned(found);
  if (FAILED(result) || found == nullptr || found[0] == L'\0') return std::nullopt;
  std::u16string folder(reinterpret_cast<const char16_t*>(found));
  if (folder.back() != u'\\') folder += u'\\';
  return folder + u"folio\\pages";
}

}  // namespace folio::platform
