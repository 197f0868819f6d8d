#include "plugin/page_list.h"

#include <algorithm>
#include <cstring>

#include "plugin/listing_index.h"
#include "plugin/member_name.h"
#include "plugin/result_codes.h"
#include "render/text_pages.h"

namespace folio::plugin {
namespace {

constexpr char kMethod[] = "text";

}  // namespace

EntryArray PageEntries(std::u16string_view textPath, const render::PageBreakList& pageBreaks,
                       std::uint32_t pageCount, std::size_t pageFileSize, std::intptr_t timestamp) {
  const std::size_t delimited = pageBreaks.empty() ? 0 : pageBreaks.size() - 1;
  const std::size_t pages = std::min<std::size_t>(pageCount, delimited);
  const std::u16string stem = MemberStem(textPath);
  EntryArray entries(pages + 1);  // value-initialised: the last one is the terminator
  for (std::size_t i = 0; i < pages; ++i) {
    ArchiveEntryW& entry = entries[i];
    std::memcpy(entry.method, kMethod, sizeof kMethod);
    entry.position = i;
    entry.compressedSize = pageFileSize;
    entry.fileSize = entry.compressedSize;
    entry.timestamp = timestamp;
    SetFieldText(entry.fileName, FormatMemberName(stem, pageBreaks[i], pageBreaks[i + 1] - 1));
  }
  return entries;
}

int BuildPageList(CallText& call, PageStartIndex& index, EntryArray& entriesOut) {
  platform::InputFile* file = call.File();
  if (!file) return SUSIE_FILE_READ_ERROR;
  const std::optional<platform::FileStamp> stamp = call.Stamp();
  // When the time can't be read, the entries carry the start of 1970.
  const std::intptr_t timestamp =
      stamp ? TimestampField<std::intptr_t>(platform::SecondsSince1970(stamp->lastWriteTime)) : 0;

  render::MeasuredText measured = MeasureWithPageIndex(call, *file);
  if (measured.status != render::RenderStatus::Done) return ResultCodeOf(measured.status);
  if (stamp) index.Store(call.path(), {*stamp, measured.splitting, std::move(measured.pageStarts)});
  entriesOut = PageEntries(call.path(), measured.pageBreaks, measured.pageCount, measured.pageFileSize, timestamp);
  return SUSIE_SUCCESS;
}

}  // namespace folio::plugin
