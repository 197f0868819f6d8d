// The archive's table of contents for one text file: one entry per measured
// page, then the terminator.
#pragma once

#include <cstdint>
#include <string_view>
#include <type_traits>

#include "folio/susie.h"
#include "plugin/entry_record.h"
#include "render/render_driver.h"

namespace folio::plugin {

// Whole seconds since 1970-01-01 UTC, truncated toward zero, of a file time
// (100-nanosecond intervals since 1601-01-01 UTC).
constexpr std::int64_t SecondsSince1970(std::int64_t fileTime) {
  constexpr std::int64_t kUnixEpochAsFileTime = 116'444'736'000'000'000;
  constexpr std::int64_t kIntervalsPerSecond = 10'000'000;
  return (fileTime - kUnixEpochAsFileTime) / kIntervalsPerSecond;
}

// Seconds as a timestamp field of type Field holds them: the whole value in a
// 64-bit field, the low bits taken as a signed number in a narrower one.
template <typename Field>
constexpr Field TimestampField(std::int64_t seconds) {
  static_assert(std::is_signed_v<Field>);
  return static_cast<Field>(static_cast<std::make_unsigned_t<Field>>(seconds));
}

// Size of the BMP file that the driver makes for a page of this size.
std::int64_t BitmapFileSize(std::int32_t width, std::int32_t height);

// Entries for the pages that `pageBreaks` delimits (entries i and i + 1 give
// page i's first line and the next page's first line).  Pages the list does
// not delimit are left out.
EntryArray PageEntries(std::u16string_view textPath, const render::PageBreakList& pageBreaks,
                       std::uint32_t pageCount, std::int64_t bitmapFileSize, std::intptr_t timestamp);

// Measures the text file and lists its pages with the current settings; a
// result code (6 when the text can't be opened, or the driver's failure).
int BuildPageList(std::u16string_view textPath, EntryArray& entriesOut);

}  // namespace folio::plugin
