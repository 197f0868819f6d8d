#include "plugin/listing_index.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "platform/drawing_surface.h"
#include "platform/files.h"
#include "render/bitmap_file.h"
#include "text/aozora_notation.h"

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

// A page start's notation state goes into the store as bytes: none when the
// text was read without notation.
index::IndexedPageStart IndexedStartOf(const render::PageStart& start) {
  return {start.line, start.start, start.notation ? text::EncodeAozoraLineState(*start.notation) : std::string()};
}

// None when the stored state is not one that a state gave.
std::optional<render::PageStart> PageStartOf(const index::IndexedPageStart& start) {
  render::PageStart pageStart{start.line, start.start, std::nullopt};
  if (start.state.empty()) return pageStart;
  pageStart.notation = text::DecodeAozoraLineState(start.state);
  if (!pageStart.notation) return std::nullopt;
  return pageStart;
}

index::PageIndex StoredValueOf(const render::MeasuredText& measured, bool limitReached) {
  index::PageIndex value{measured.pageBreaks, measured.pageCount, limitReached, measured.splitting, {}};
  value.pageStarts.reserve(measured.pageStarts.size());
  for (const render::PageStart& start : measured.pageStarts) value.pageStarts.push_back(IndexedStartOf(start));
  return value;
}

// The stored listing as measuring gives it; none when the settings' page
// can't be made, which measuring reports itself, or a page start's state is
// not one that a state gave.
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
  for (const index::IndexedPageStart& start : stored.pageStarts) {
    std::optional<render::PageStart> pageStart = PageStartOf(start);
    if (!pageStart) return std::nullopt;
    measured.pageStarts.push_back(*pageStart);
  }
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
  if (settings.notation == settings::Notation::Aozora) print.extra = "notation=aozora";
  if (settings.vertical) print.extra += print.extra.empty() ? "vertical" : ";vertical";
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
