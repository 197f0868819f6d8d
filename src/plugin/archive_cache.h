// The page lists of the most recently listed text files, so that extractions
// after a listing don't measure the text again.  Callers only ever receive
// entries made for them: an array in a block for the host, or one entry.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "folio/susie.h"
#include "platform/host_heap.h"
#include "plugin/entry_record.h"
#include "plugin/page_list.h"

namespace folio::plugin {

// What a lookup hands out: a copy of the whole array, or one entry found by
// member name (ignoring letter case as the platform does) or by position.
struct ArchiveRequest {
  static ArchiveRequest WholeArray(platform::HostBlock& arrayOut) { return {&arrayOut, nullptr, {}, 0}; }
  static ArchiveRequest ByName(std::u16string_view memberName, ArchiveEntryW& entryOut) {
    return {nullptr, &entryOut, memberName, 0};
  }
  static ArchiveRequest ByPosition(std::uintptr_t position, ArchiveEntryW& entryOut) {
    return {nullptr, &entryOut, std::nullopt, position};
  }

  platform::HostBlock* wholeArrayOut;
  ArchiveEntryW* entryOut;
  std::optional<std::u16string_view> memberName;
  std::uintptr_t position;
};

// Serves `request` from `pages`: 0, 4 when the array's block can't be
// allocated, or `missingMemberCode` when no entry matches (the caller's entry
// is then left as it was).
int ServeRequest(const PageList& pages, const ArchiveRequest& request, int missingMemberCode);

class ArchiveCache {
 public:
  static constexpr std::size_t kSlotCount = 16;
  // The code Find returns for a path it does not hold.
  static constexpr int kNotCached = -1;

  // Stores the list in the next slot of the ring, dropping what it held.
  void Insert(std::u16string_view path, std::shared_ptr<const PageList> pages);
  void Clear();
  // Serves the request from the most recent list for `path`, compared as
  // the platform's file systems compare paths (a missing member is 2);
  // kNotCached when there is none.
  int Find(std::u16string_view path, const ArchiveRequest& request) const;

 private:
  struct Slot {
    std::u16string path;
    std::shared_ptr<const PageList> pages;
  };
  mutable std::mutex mutex_;
  std::array<Slot, kSlotCount> slots_;
  std::size_t nextSlot_ = 0;
};

}  // namespace folio::plugin
