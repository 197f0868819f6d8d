// The library finds itself through the dynamic loader; there is no active
// window to size pages after.
#include <dlfcn.h>
#include <stdlib.h>

#include <memory>

#include "base/unicode.h"
#include "platform/module.h"

namespace folio::platform {

std::u16string ModulePath() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&ModulePath), &info) || !info.dli_fname) return {};
  std::unique_ptr<char, decltype(&free)> resolved(realpath(info.dli_fname, nullptr), &free);
  return base::Utf8ToUtf16(resolved ? resolved.get() : info.dli_fname);
}

std::optional<ClientSize> ActiveWindowClientSize() {
  return std::nullopt;
}

}  // namespace folio::platform
