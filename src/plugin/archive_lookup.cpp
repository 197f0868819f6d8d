#include "plugin/archive_lookup.h"

#include <new>

#include "plugin/member_name.h"
#include "plugin/page_list.h"
#include "plugin/result_codes.h"
#include "render/text_pages.h"
#include "settings/render_settings.h"

namespace folio::plugin {
namespace {

constexpr int kMissingFromFreshArray = SUSIE_NOT_SUPPORTED;
// A member name that no listing of this text made.
constexpr int kNotAPage = SUSIE_UNKNOWN_FORMAT;

// 0 when the file has at least 8 bytes at `offset` and a handled extension;
// 6 when it can't be opened, positioned or read; 2 otherwise.
int CheckArchiveFile(CallText& call, std::intptr_t offset) {
  platform::InputFile* file = call.File();
  if (!file) return SUSIE_FILE_READ_ERROR;
  // Only the offset's low 32 bits count.
  if (!file->Seek(static_cast<std::uint32_t>(offset))) return SUSIE_FILE_READ_ERROR;
  unsigned char head[8];
  const auto count = file->Read(head, sizeof head);
  if (!count) return SUSIE_FILE_READ_ERROR;
  if (*count < sizeof head || !settings::IsHandledFileName(call.path())) return SUSIE_UNKNOWN_FORMAT;
  return SUSIE_SUCCESS;
}

}  // namespace

ArchiveCache& SharedArchiveCache() {
  static ArchiveCache cache;
  return cache;
}

int LookupArchive(ArchiveCache& cache, PageStartIndex& index, CallText& call, std::intptr_t offset,
                  const ArchiveRequest& request) {
  if (const int cached = cache.Find(call.path(), request); cached != ArchiveCache::kNotCached) return cached;
  if (const int checked = CheckArchiveFile(call, offset); checked != SUSIE_SUCCESS) return checked;
  std::shared_ptr<const PageList> pages;
  if (const int built = BuildPageList(call, index, pages); built != SUSIE_SUCCESS) return built;
  const int served = ServeRequest(*pages, request, kMissingFromFreshArray);
  try {
    cache.Insert(call.path(), std::move(pages));
  } catch (const std::bad_alloc&) {
    // The caller has its answer; the next request measures the text again.
  }
  return served;
}

int DrawListedPage(ArchiveCache& cache, PageStartIndex& index, CallText& call, std::uintptr_t position,
                   ArchiveEntryW& entry, platform::HostBlock& image) {
  const int found = LookupArchive(cache, index, call, 0, ArchiveRequest::ByPosition(position, entry));
  if (found != SUSIE_SUCCESS) return found;
  // Drawing nothing and calling it the page would hand the host a blank page.
  const std::optional<render::LineRange> range = LineRangeFromMemberName(call.path(), FieldText(entry.fileName));
  if (!range) return kNotAPage;
  platform::InputFile* file = call.File();
  if (!file) return SUSIE_FILE_READ_ERROR;
  const std::optional<platform::FileStamp> stamp = call.Stamp();
  const std::optional<render::ResumePoint> resume =
      stamp ? index.Find(call.path(), *stamp, range->firstLine) : std::nullopt;
  render::DrawnPage drawn = render::DrawPage(*file, call.Settings(), *range, resume);
  if (drawn.status != render::RenderStatus::Done) return ResultCodeOf(drawn.status);
  image = std::move(drawn.image);
  return SUSIE_SUCCESS;
}

}  // namespace folio::plugin
