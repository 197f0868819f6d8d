#include "plugin/archive_cache.h"

#include "platform/letter_case.h"

namespace folio::plugin {
namespace {

constexpr int kMissingFromCachedArray = SUSIE_UNKNOWN_FORMAT;

}  // namespace

int ServeRequest(const PageList& pages, const ArchiveRequest& request, int missingMemberCode) {
  if (request.wholeArrayOut) {
    // Zero-filled: the terminator, and every byte an entry leaves alone.
    auto block = platform::HostBlock::Allocate((pages.size() + 1) * sizeof(ArchiveEntryW), true);
    if (!block) return SUSIE_OUT_OF_MEMORY;
    pages.WriteEntries(static_cast<ArchiveEntryW*>(block.get()));
    *request.wholeArrayOut = std::move(block);
    return SUSIE_SUCCESS;
  }
  const std::optional<std::size_t> position = request.memberName ? pages.Find(*request.memberName)
                                              : request.position < pages.size()
                                                  ? std::optional<std::size_t>(request.position)
                                                  : std::nullopt;
  if (!position) return missingMemberCode;
  ArchiveEntryW entry{};
  pages.WriteEntry(*position, entry);
  *request.entryOut = entry;
  return SUSIE_SUCCESS;
}

void ArchiveCache::Insert(std::u16string_view path, std::shared_ptr<const PageList> pages) {
  std::lock_guard lock(mutex_);
  Slot& slot = slots_[nextSlot_];
  slot.path = path;
  slot.pages = std::move(pages);
  nextSlot_ = (nextSlot_ + 1) % kSlotCount;
}

void ArchiveCache::Clear() {
  std::lock_guard lock(mutex_);
  for (Slot& slot : slots_) slot = Slot{};
  nextSlot_ = 0;
}

int ArchiveCache::Find(std::u16string_view path, const ArchiveRequest& request) const {
  std::shared_ptr<const PageList> pages;
  {
    std::lock_guard lock(mutex_);
    // Newest first, so that the most recent list for a path wins.
    for (std::size_t visited = 0; visited < kSlotCount && !pages; ++visited) {
      const Slot& slot = slots_[(nextSlot_ + kSlotCount - 1 - visited) % kSlotCount];
      if (!slot.pages) break;
      if (platform::SamePath(slot.path, path)) pages = slot.pages;
    }
  }
  // Served outside the lock: a long text's array takes a while to write.
  return pages ? ServeRequest(*pages, request, kMissingFromCachedArray) : kNotCached;
}

}  // namespace folio::plugin
