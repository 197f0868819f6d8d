// The one way the listing and extraction exports reach a text file's entries.
#pragma once

#include <cstdint>
#include <string_view>

#include "plugin/archive_cache.h"

namespace folio::plugin {

// The library's one cache.
ArchiveCache& SharedArchiveCache();

// Serves the request from the cache or, on a miss, checks the file at
// `offset` (at least 8 bytes there, a handled extension), lists its pages,
// serves the request from the new array (a missing member is -1) and caches it.
int LookupArchive(ArchiveCache& cache, std::u16string_view path, std::intptr_t offset,
                  const ArchiveRequest& request);

}  // namespace folio::plugin
