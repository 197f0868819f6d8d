// The archive's table of contents for one text file: one entry per measured
// page, then the terminator.
#pragma once

#include <cstddef>
#include <cstdint>
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

// Entries for the pages that `pageBreaks` delimits (entries i and i + 1 give
// page i's first line and the next page's first line).  Pages the list does
// not delimit are left out.
EntryArray PageEntries(std::u16string_view textPath, const render::PageBreakList& pageBreaks,
                       std::uint32_t pageCount, std::size_t pageFileSize, std::intptr_t timestamp);

// Measures the call's text with its settings (or takes the listing that the
// page index store holds for it) and lists its pages, noting in `index`
// where they begin; a result code (6 when the text can't be read).
int BuildPageList(CallText& call, PageStartIndex& index, EntryArray& entriesOut);

}  // namespace folio::plugin
