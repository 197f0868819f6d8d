// The folder in the user's cache where page indexes are kept.  Windows:
// %LOCALAPPDATA%\folio\pages; elsewhere $XDG_CACHE_HOME/folio/pages, else
// $HOME/.cache/folio/pages.
#pragma once

#include <optional>
#include <string>

namespace folio::platform {

// The folder's path, which may not exist yet; none when the environment
// names no cache folder.
std::optional<std::u16string> PageIndexFolder();

}  // namespace folio::platform
