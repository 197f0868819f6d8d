#include "plugin/page_list.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "platform/files.h"
#include "plugin/entry_record.h"
#include "render/member_name.h"
#include "settings/render_settings.h"

namespace folio::plugin {
namespace {

constexpr std::int64_t kBitmapHeadersSize = 54;
constexpr char kMethod[] = "text";

// The text file's timestamp field; nullopt when the file can't be opened.
std::optional<std::intptr_t> TextFileTimestamp(std::u16string_view textPath) {
  const auto file = platform::InputFile::Open(textPath);
  if (!file) return std::nullopt;
  const auto fileTime = file->LastWriteTime();
  // When the time can't be read, the entries carry the start of 1970.
  return fileTime ? TimestampField<std::intptr_t>(SecondsSince1970(*fileTime)) : 0;
}

}  // namespace

std::int64_t BitmapFileSize(std::int32_t width, std::int32_t height) {
  const std::int64_t stride = (3 * std::int64_t{width} + 3) & ~std::int64_t{3};
  return kBitmapHeadersSize + height * stride;
}

EntryArray PageEntries(std::u16string_view textPath, const render::PageBreakList& pageBreaks,
                       std::uint32_t pageCount, std::int64_t bitmapFileSize, std::intptr_t timestamp) {
  const std::size_t delimited = pageBreaks.empty() ? 0 : pageBreaks.size() - 1;
  const std::size_t pages = std::min<std::size_t>(pageCount, delimited);
  const std::u16string stem = render::MemberStem(textPath);
  EntryArray entries(pages + 1);  // value-initialised: the last one is the terminator
  for (std::size_t i = 0; i < pages; ++i) {
    ArchiveEntryW& entry = entries[i];
    std::memcpy(entry.method, kMethod, sizeof kMethod);
    entry.position = i;
    entry.compressedSize = static_cast<std::uintptr_t>(bitmapFileSize);
    entry.fileSize = entry.compressedSize;
    entry.timestamp = timestamp;
    SetFieldText(entry.fileName, render::FormatMemberName(stem, pageBreaks[i], pageBreaks[i + 1] - 1));
  }
  return entries;
}

int BuildPageList(std::u16string_view textPath, EntryArray& entriesOut) {
  const settings::RenderSettings settings = settings::LoadRenderSettings();
  const auto timestamp = TextFileTimestamp(textPath);
  if (!timestamp) return SUSIE_FILE_READ_ERROR;

  render::PageBreakList pageBreaks;
  const render::RenderOutcome outcome =
      render::RenderTextFile(textPath, nullptr, nullptr, render::RenderMode::Measure, &pageBreaks);
  if (outcome.code != 0) return outcome.code;
  entriesOut = PageEntries(textPath, pageBreaks, outcome.pageCount,
                           BitmapFileSize(settings.width, settings.height), *timestamp);
  return SUSIE_SUCCESS;
}

}  // namespace folio::plugin
