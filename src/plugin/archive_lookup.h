// The one way the listing and extraction exports reach a text file's
// entries, and a listed page's image.
#pragma once

#include <cstdint>

#include "platform/host_heap.h"
#include "plugin/archive_cache.h"
#include "plugin/call_sources.h"
#include "plugin/page_start_index.h"

namespace folio::plugin {

// The library's one cache.
ArchiveCache& SharedArchiveCache();

// Serves the request from the cache or, on a miss, checks the call's text at
// `offset` (at least 8 bytes there, a handled extension), lists its pages,
// serves the request from the new array (a missing member is -1) and caches it.
int LookupArchive(ArchiveCache& cache, PageStartIndex& index, CallText& call, std::intptr_t offset,
                  const ArchiveRequest& request);

// The page at `position` (its entry into `entry`) drawn into `image`, from
// where a listing found that page to begin when the file is unchanged; a
// result code (2 for a page name that gives no lines).
int DrawListedPage(ArchiveCache& cache, PageStartIndex& index, CallText& call, std::uintptr_t position,
                   ArchiveEntryW& entry, platform::HostBlock& image);

}  // namespace folio::plugin
