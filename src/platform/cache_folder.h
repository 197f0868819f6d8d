// The folder in the user's cache where page indexes are kept.  Windows:
// %LOCALAPPDATA%\folio\pages; elsewhere $XDG_CACHE_HOME/folio/pages, else
// $HOME/.cache/folio/pages.  FOLIO_PAGE_INDEX_FOLDER, when it holds an
// absolute path, names the folder instead, on either platform: Windows finds
// the local application data folder in the registry, which one process can't
// point elsewhere for itself (tests, benchmarks, a portable setup can).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace folio::platform {

inline constexpr std::string_view kPageIndexFolderVariable = "FOLIO_PAGE_INDEX_FOLDER";

// The folder's path, which may not exist yet; none when the environment
// names no cache folder.
std::optional<std::u16string> PageIndexFolder();

}  // namespace folio::platform
