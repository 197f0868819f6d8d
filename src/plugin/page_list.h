// The archive's table of contents for one text file: one entry per measured
// page, then the terminator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "folio/susie.h"
#include "plugin/call_sources.h"
#include "plugin/entry_record.h"
#include "plugin/page_start_index.h"
#include "render/page_measuring.h"

namespace folio::plugin {

// Seconds as a timestamp field of type Field holds them: the whole value in a
// 64-bit field, the low bits taken as a signed number in a narrower one.
template <typename Field>
constexpr Field TimestampField(std::int64_t seconds) {
  static_assert(std::is_signed_v<Field>);
  return static_cast<Field>(static_cast<std::make_unsigned_t<Field>>(seconds));
}

// The pages of one listing of a text, from which any of its entries is made
// when asked for: a long text's entry array is large (848 bytes a page on
// 64-bit builds), its page breaks are not.
class PageList {
 public:
  // Entries i and i + 1 of `pageBreaks` give page i's first line and the next
  // page's first line; pages the list does not delimit are left out.
  PageList(std::u16string_view textPath, render::PageBreakList pageBreaks, std::uint32_t pageCount,
           std::size_t pageFileSize, std::intptr_t timestamp);

  std::size_t size() const noexcept { return pages_; }
  // Entry `position` (below size()) into `entry`, whose other bytes stay as
  // they are (zero, for a record of the interface).
  void WriteEntry(std::size_t position, ArchiveEntryW& entry) const;
  // Every entry, then the terminator, into `entries` (size() + 1 records),
  // which must be zero-filled.
  void WriteEntries(ArchiveEntryW* entries) const;
  // The position of the page of this member name, ignoring letter case as
  // the platform does.
  std::optional<std::size_t> Find(std::u16string_view memberName) const;

 private:
  std::u16string NameOf(std::size_t position) const;

  std::u16string textPath_;
  std::u16string stem_;
  render::PageBreakList pageBreaks_;
  std::size_t pages_;
  std::size_t pageFileSize_;
  std::intptr_t timestamp_;
};

// Measures the call's text with its settings (or takes the listing that the
// page index store holds for it) and lists its pages, noting in `index`
// where they begin; a result code (6 when the text can't be read).
int BuildPageList(CallText& call, PageStartIndex& index, std::shared_ptr<const PageList>& listOut);

}  // namespace folio::plugin
