#include "plugin/archive_cache.h"

#include <cstring>

#include "platform/letter_case.h"
#include "plugin/entry_record.h"

namespace folio::plugin {
namespace {

constexpr int kMissingFromCachedArray = SUSIE_UNKNOWN_FORMAT;

const ArchiveEntryW* FindEntry(const EntryArray& entries, const ArchiveRequest& request) {
  for (const ArchiveEntryW& entry : entries) {
    if (IsTerminator(entry)) break;
    const bool matches = request.memberName
                             ? platform::EqualIgnoringCase(FieldText(entry.fileName), *request.memberName)
                             : entry.position == request.position;
    if (matches) return &entry;
  }
  return nullptr;
}

}  // namespace

int ServeRequest(const EntryArray& entries, const ArchiveRequest& request, int missingMemberCode) {
  if (request.wholeArrayOut) {
    const std::size_t size = entries.size() * sizeof(ArchiveEntryW);
    auto copy = platform::HostBlock::Allocate(size, false);
    if (!copy) return SUSIE_OUT_OF_MEMORY;
    std::memcpy(copy.get(), entries.data(), size);
    *request.wholeArrayOut = std::move(copy);
    return SUSIE_SUCCESS;
  }
  const ArchiveEntryW* entry = FindEntry(entries, request);
  if (!entry) return missingMemberCode;
  *request.entryOut = *entry;
  return SUSIE_SUCCESS;
}

void ArchiveCache::Insert(std::u16string_view path, EntryArray entries) {
  std::lock_guard lock(mutex_);
  Slot& slot = slots_[nextSlot_];
  slot.path = path;
  slot.entries = std::move(entries);
  nextSlot_ = (nextSlot_ + 1) % kSlotCount;
}

void ArchiveCache::Clear() {
  std::lock_guard lock(mutex_);
  for (Slot& slot : slots_) slot = Slot{};
  nextSlot_ = 0;
}

int ArchiveCache::Find(std::u16string_view path, const ArchiveRequest& request) const {
  std::lock_guard lock(mutex_);
  // Newest first, so that the most recent array for a path wins.
  for (std::size_t visited = 0; visited < kSlotCount; ++visited) {
    const Slot& slot = slots_[(nextSlot_ + kSlotCount - 1 - visited) % kSlotCount];
    if (!slot.entries) break;
    if (platform::SamePath(slot.path, path)) return ServeRequest(*slot.entries, request, kMissingFromCachedArray);
  }
  return kNotCached;
}

}  // namespace folio::plugin
