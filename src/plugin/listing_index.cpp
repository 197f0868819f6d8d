#include "plugin/listing_index.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "platform/drawing_surface.h"
#include "platform/files.h"
#include "render/bitmap_file.h"

namespace folio::plugin {
namespace {

// The key of the call's text as it is now; none when its size, time or ends
// can't be read.  The hash reads the call's own open file.
std::optional<index::PageIndexKey> KeyOf(CallText& call, platform::InputFile& text) {
  const std::optional<platform::FileStamp> stamp = text.Stamp();
  if (!stamp) return std::nullopt;
  const std::optional<std::uint64_t> hash = index::HashTextEnds(text, stamp->size);
  if (!hash) return std::nullopt;
  return index::PageIndexKey{platform::CanonicalPath(call.path()), *stamp, *hash,
                             PageSettingsPrintOf(call.Settings())};
}

// Whether the call's text is still as it was when `key` was taken.
bool Unchanged(platform::InputFile& text, const index::PageIndexKey& key) {
  const std::optional<platform::FileStamp> stamp = text.Stamp();
  return stamp == key.stamp && index::HashTextEnds(text, stamp->size) == key.contentHash;
}

// Whether measuring stopped at the page limit, which the measuring pass
// tells by listing the last break twice (MeasurePages).
bool LimitReached(const render::PageBreakList& pageBreaks, std::int32_t pageLimit) {
  return pageLimit > 0 && pageBreaks.size() >= 2 && pageBreaks.back() == pageBreaks[pageBreaks.size() - 2];
}

// Render's page starts carry no reader state yet; a reader that needs one
// to resume brings it here, and the store keeps it beside the position.
index::IndexedPageStart IndexedStartOf(const render::PageStart& start) {
  return {start.line, start.start, {}};
}

render::PageStart PageStartOf(const index::IndexedPageStart& start) {
  return {start.line, start.start};
}

index::PageIndex StoredValueOf(const render::MeasuredText& measured, bool limitReached) {
  index::PageIndex value{measured.pageBreaks, measured.pageCount, limitReached, measured.splitting, {}};
  value.pageStarts.reserve(measured.pageStarts.size());
  for (const render::PageStart& start : measured.pageStarts) value.pageStarts.push_back(IndexedStartOf(start));
  return value;
}

// The stored listing as measuring gives it; none when the settings' page
// can't be made, which measuring reports itself.
std::optional<render::MeasuredText> MeasuredTextOf(index::PageIndex stored,
                                                   const settings::RenderSettings& settings) {
  const std::optional<platform::SurfaceGeometry> geometry =
      platform::SurfaceGeometry::For(settings.width, settings.height);
  if (!geometry) return std::nullopt;
  render::MeasuredText measured;
  measured.pageBreaks = std::move(stored.pageBreaks);
  measured.pageCount = stored.pageCount;
  measured.pageFileSize = render::BitmapFileSize(*geometry);
  measured.splitting = stored.splitting;
  measured.pageStarts.reserve(stored.pageStarts.size());
  for (const index::IndexedPageStart& start : stored.pageStarts) measured.pageStarts.push_back(PageStartOf(start));
  return measured;
}

}  // namespace

index::PageSettingsPrint PageSettingsPrintOf(const settings::RenderSettings& settings) {
  index::PageSettingsPrint print;
  print.width = settings.width;
  print.height = settings.height;
  print.margin = settings.margin;
  print.fontFamily = settings.fontFamily;
  print.fontSize = settings.fontSize;
  print.pageLimit = std::max(settings.pageLimit, 0);  // every value of 0 or less means no limit
  return print;
}

render::MeasuredText MeasureWithPageIndex(CallText& call, platform::InputFile& text) {
  const settings::RenderSettings& settings = call.Settings();
  std::optional<index::PageIndexStore> store;
  std::optional<index::PageIndexKey> key;
  if (settings.pageIndex && (key = KeyOf(call, text))) store = call.OpenPageIndex();
  if (store) {
    if (std::optional<index::PageIndex> stored = store->Load(*key)) {
      if (std::optional<render::MeasuredText> listed = MeasuredTextOf(std::move(*stored), settings))
        return std::move(*listed);
    }
  }
  render::MeasuredText measured = render::MeasureText(text, settings);
  const bool limitReached = LimitReached(measured.pageBreaks, settings.pageLimit);
  const bool wholeOrLimited = settings.pageLimit <= 0 || limitReached;
  // A text rewritten while it was measured is not kept under its old key.
  if (store && measured.status == render::RenderStatus::Done && wholeOrLimited && Unchanged(text, *key)) {
    store->Store(*key, StoredValueOf(measured, limitReached));
  }
  return measured;
}

}  // namespace folio::plugin
