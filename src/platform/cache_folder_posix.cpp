// The XDG base directory rules: $XDG_CACHE_HOME when it is an absolute path,
// else $HOME/.cache.
#include <cstdlib>
#include <string>

#include "base/unicode.h"
#include "platform/cache_folder.h"

namespace folio::platform {
namespace {

// A relative path would put the cache wherever the host happens to run.
std::optional<std::string> AbsoluteVariable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return std::nullopt;
  return std::string(value);
}

}  // namespace

std::optional<std::u16string> PageIndexFolder() {
  if (const std::optional<std::string> chosen = AbsoluteVariable(kPageIndexFolderVariable.data()))
    return base::Utf8ToUtf16(*chosen);
  std::optional<std::string> cache = AbsoluteVariable("XDG_CACHE_HOME");
  if (!cache) {
    const std::optional<std::string> home = AbsoluteVariable("HOME");
    if (!home) return std::nullopt;
    cache = *home + "/.cache";
  }
  return base::Utf8ToUtf16(*cache + "/folio/pages");
}

}  // namespace folio::platform
