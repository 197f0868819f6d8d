#include "index/page_index_store.h"

#include <algorithm>
#include <tuple>
#include <utility>

#include "index/page_index_file.h"
#include "platform/cache_folder.h"

namespace folio::index {
namespace {

// The folder's files that the store made: its indexes, and temporary files
// that a writer left when it died.
bool IsStoreFile(std::u16string_view name) {
  return name.ends_with(kIndexFileSuffix) || (name.ends_with(platform::kTemporaryFileSuffix) &&
                                              name.find(kIndexFileSuffix) != std::u16string_view::npos);
}

// Removes files used least recently until `incomingBytes` more fit under
// `capacity`; false when they can't be made to fit.  The file that the new
// one replaces doesn't count.
bool MakeRoom(platform::CacheFiles& files, std::u16string_view replaced, std::uint64_t incomingBytes,
              std::uint64_t capacity) {
  std::vector<platform::CacheFileInfo> stored = files.List();
  std::erase_if(stored, [&](const platform::CacheFileInfo& file) {
    return file.name == replaced || !IsStoreFile(file.name);
  });
  std::uint64_t total = incomingBytes;
  for (const platform::CacheFileInfo& file : stored) total += file.size;
  if (total <= capacity) return true;
  std::sort(stored.begin(), stored.end(), [](const platform::CacheFileInfo& a, const platform::CacheFileInfo& b) {
    return std::tie(a.lastUse, a.name) < std::tie(b.lastUse, b.name);
  });
  for (const platform::CacheFileInfo& file : stored) {
    if (total <= capacity) break;
    if (files.Remove(file.name)) total -= file.size;
  }
  return total <= capacity;
}

}  // namespace

bool operator==(const IndexedPageStart& a, const IndexedPageStart& b) noexcept {
  return a.line == b.line && a.start.byteOffset == b.start.byteOffset &&
         a.start.carriedUnit == b.start.carriedUnit && a.state == b.state;
}

bool operator==(const PageIndex& a, const PageIndex& b) noexcept {
  return a.pageBreaks == b.pageBreaks && a.pageCount == b.pageCount && a.limitReached == b.limitReached &&
         a.splitting == b.splitting && a.pageStarts == b.pageStarts;
}

PageIndexStore::PageIndexStore(std::unique_ptr<platform::CacheFiles> files, std::uint64_t capacityBytes) noexcept
    : files_(std::move(files)), capacity_(capacityBytes) {}

std::optional<PageIndex> PageIndexStore::Load(const PageIndexKey& key, const ContentHash& contentHash) noexcept {
  try {
    const std::u16string name = FileNameFor(EncodeKey(key, 0));
    const std::optional<std::string> file = files_->Read(name, kMostFileBytes);
    if (!file || !MayHold(*file, EncodeKey(key, 0))) return std::nullopt;
    const std::optional<std::uint64_t> hash = contentHash();
    if (!hash) return std::nullopt;
    std::optional<PageIndex> value = DecodeFile(*file, EncodeKey(key, *hash));
    if (value) files_->MarkUsed(name);
    return value;
  } catch (...) {
    // Out of memory: as if nothing were stored.
    return std::nullopt;
  }
}

void PageIndexStore::Store(const PageIndexKey& key, std::uint64_t contentHash, const PageIndex& value) noexcept {
  try {
    const EncodedKey encoded = EncodeKey(key, contentHash);
    const std::optional<std::string> file = EncodeFile(encoded, value);
    if (!file || file->size() > capacity_ || !files_->CreateFolder()) return;
    const std::u16string name = FileNameFor(encoded);
    if (!MakeRoom(*files_, name, file->size(), capacity_)) return;
    files_->Replace(name, *file);
  } catch (...) {
    // Out of memory: nothing is stored, and the listing goes on without.
  }
}

std::optional<PageIndexStore> OpenUserPageIndexStore() {
  std::optional<std::u16string> folder = platform::PageIndexFolder();
  if (!folder) return std::nullopt;
  return PageIndexStore(platform::OpenCacheFiles(std::move(*folder)));
}

}  // namespace folio::index
