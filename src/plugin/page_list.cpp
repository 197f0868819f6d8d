#include "plugin/page_list.h"

#include <algorithm>
#include <cstring>

#include "platform/letter_case.h"
#include "plugin/listing_index.h"
#include "plugin/member_name.h"
#include "plugin/result_codes.h"
#include "render/text_pages.h"

namespace folio::plugin {
namespace {

constexpr char kMethod[] = "text";

}  // namespace

PageList::PageList(std::u16string_view textPath, render::PageBreakList pageBreaks, std::uint32_t pageCount,
                   std::size_t pageFileSize, std::intptr_t timestamp)
    : textPath_(textPath),
      stem_(MemberStem(textPath)),
      pageBreaks_(std::move(pageBreaks)),
      pages_(std::min<std::size_t>(pageCount, pageBreaks_.empty() ? 0 : pageBreaks_.size() - 1)),
      pageFileSize_(pageFileSize),
      timestamp_(timestamp) {}

std::u16string PageList::NameOf(std::size_t position) const {
  return FormatMemberName(stem_, pageBreaks_[position], pageBreaks_[position + 1] - 1);
}

void PageList::WriteEntry(std::size_t position, ArchiveEntryW& entry) const {
  std::memcpy(entry.method, kMethod, sizeof kMethod);
  entry.position = position;
  entry.compressedSize = pageFileSize_;
  entry.fileSize = entry.compressedSize;
  entry.timestamp = timestamp_;
  SetFieldText(entry.fileName, NameOf(position));
}

void PageList::WriteEntries(ArchiveEntryW* entries) const {
  for (std::size_t position = 0; position < pages_; ++position) WriteEntry(position, entries[position]);
}

std::optional<std::size_t> PageList::Find(std::u16string_view memberName) const {
  const auto named = [&](std::size_t position) {
    return platform::EqualIgnoringCase(NameOf(position), memberName);
  };
  // A name carries its page's first line, and the breaks are in line order.
  if (const std::optional<render::LineRange> range = LineRangeFromMemberName(textPath_, memberName)) {
    const auto end = pageBreaks_.begin() + static_cast<std::ptrdiff_t>(pages_);
    const auto first = std::lower_bound(pageBreaks_.begin(), end, range->firstLine);
    const auto position = static_cast<std::size_t>(first - pageBreaks_.begin());
    if (first != end && named(position)) return position;
  }
  // The platform's letter case may match a name that reads back otherwise.
  for (std::size_t position = 0; position < pages_; ++position) {
    if (named(position)) return position;
  }
  return std::nullopt;
}

int BuildPageList(CallText& call, PageStartIndex& index, std::shared_ptr<const PageList>& listOut) {
  platform::InputFile* file = call.File();
  if (!file) return SUSIE_FILE_READ_ERROR;
  const std::optional<platform::FileStamp> stamp = call.Stamp();
  // When the time can't be read, the entries carry the start of 1970.
  const std::intptr_t timestamp =
      stamp ? TimestampField<std::intptr_t>(platform::SecondsSince1970(stamp->lastWriteTime)) : 0;

  render::MeasuredText measured = MeasureWithPageIndex(call, *file);
  if (measured.status != render::RenderStatus::Done) return ResultCodeOf(measured.status);
  if (stamp) index.Store(call.path(), {*stamp, measured.splitting, std::move(measured.pageStarts)});
  listOut = std::make_shared<const PageList>(call.path(), std::move(measured.pageBreaks), measured.pageCount,
                                             measured.pageFileSize, timestamp);
  return SUSIE_SUCCESS;
}

}  // namespace folio::plugin
