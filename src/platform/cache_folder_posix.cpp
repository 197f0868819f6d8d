// The XDG base directory rules: $XDG_CACHE_HOME when it is an absolute path,
// else $HOME/.cache.
#include "platform/cache_folder.h"
#include "platform/environment.h"

namespace folio::platform {
namespace {

// A relative path would put the cache wherever the host happens to run.
std::optional<std::u16string> AbsoluteVariable(std::string_view name) {
  std::optional<std::u16string> value = EnvironmentValue(name);
  if (!value || !value->starts_with(u'/')) return std::nullopt;
  return value;
}

}  // namespace

std::optional<std::u16string> PageIndexFolder() {
  if (std::optional<std::u16string> chosen = AbsoluteVariable(kPageIndexFolderVariable)) return chosen;
  std::optional<std::u16string> cache = AbsoluteVariable("XDG_CACHE_HOME");
  if (!cache) {
    const std::optional<std::u16string> home = AbsoluteVariable("HOME");
    if (!home) return std::nullopt;
    cache = *home + u"/.cache";
  }
  return *cache + u"/folio/pages";
}

}  // namespace folio::platform
