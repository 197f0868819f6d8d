#include "plugin/archive_lookup.h"

#include <new>

#include "platform/files.h"
#include "plugin/page_list.h"
#include "settings/render_settings.h"

namespace folio::plugin {
namespace {

constexpr int kMissingFromFreshArray = SUSIE_NOT_SUPPORTED;

// 0 when the file has at least 8 bytes at `offset` and a handled extension;
// 6 when it can't be opened, positioned or read; 2 otherwise.
int CheckArchiveFile(std::u16string_view path, std::intptr_t offset) {
  auto file = platform::InputFile::Open(path);
  if (!file) return SUSIE_FILE_READ_ERROR;
  // Only the offset's low 32 bits count.
  if (!file->Seek(static_cast<std::uint32_t>(offset))) return SUSIE_FILE_READ_ERROR;
  unsigned char head[8];
  const auto count = file->Read(head, sizeof head);
  if (!count) return SUSIE_FILE_READ_ERROR;
  if (*count < sizeof head || !settings::IsHandledFileName(path)) return SUSIE_UNKNOWN_FORMAT;
  return SUSIE_SUCCESS;
}

}  // namespace

ArchiveCache& SharedArchiveCache() {
  static ArchiveCache cache;
  return cache;
}

int LookupArchive(ArchiveCache& cache, std::u16string_view path, std::intptr_t offset,
                  const ArchiveRequest& request) {
  if (const int cached = cache.Find(path, request); cached != ArchiveCache::kNotCached) return cached;
  if (const int checked = CheckArchiveFile(path, offset); checked != SUSIE_SUCCESS) return checked;
  EntryArray entries;
  if (const int built = BuildPageList(path, entries); built != SUSIE_SUCCESS) return built;
  // Served before the cache takes the array: a listing on another thread may
  // clear the cache at any moment.
  const int served = ServeRequest(entries, request, kMissingFromFreshArray);
  try {
    cache.Insert(path, std::move(entries));
  } catch (const std::bad_alloc&) {
    // The caller has its answer; the next request measures the text again.
  }
  return served;
}

}  // namespace folio::plugin
