#include "plugin/listing_index.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "index/text_content_hash.h"
#include "platform/drawing_surface.h"
#include "platform/files.h"
#include "render/bitmap_file.h"
#include "text/aozora_notation.h"

namespace folio::plugin {
namespace {

// The key of the call's text as it is now, but for its content hash; none
// when its size and time can't be read.
std::optional<index::PageIndexKey> KeyOf(CallText& call, platform::InputFile& text) {
  const std::optional<platform::FileStamp> stamp = text.Stamp();
  if (!stamp) return std::nullopt;
  return index::PageIndexKey{platform::CanonicalPath(call.path()), *stamp, PageSettingsPrintOf(call.Settings())};
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
  if (!store) return render::MeasureText(text::FileBytes(text), settings);

  // The text's hash before measuring, when the store asked for it.
  std::optional<std::optional<std::uint64_t>> hashedBefore;
  const auto hashText = [&] { return hashedBefore.emplace(index::HashText(text, key->stamp.size)); };
  if (std::optional<index::PageIndex> stored = store->Load(*key, hashText)) {
    if (std::optional<render::MeasuredText> listed = MeasuredTextOf(std::move(*stored), settings))
      return std::move(*listed);
  }
  // Measured bytes are hashed as they are read, so that what is stored is
  // known to be the listing of the content that its key names.
  index::HashedReading reading(text);
  render::MeasuredText measured = render::MeasureText(reading.Bytes(), settings);
  const bool limitReached = LimitReached(measured.pageBreaks, settings.pageLimit);
  const bool wholeOrLimited = settings.pageLimit <= 0 || limitReached;
  // A text whose size or time moved while it was measured is not kept;
  if (measured.status != render::RenderStatus::Done || !wholeOrLimited || text.Stamp() != key->stamp) {
    return measured;
  }
  // nor one that can't be read to its end, or whose bytes hash otherwise than
  // when the store looked it up: it changed in between.
  const std::optional<std::uint64_t> hash = reading.Finish(key->stamp.size);
  if (hash && (!hashedBefore || *hashedBefore == hash)) {
    store->Store(*key, *hash, StoredValueOf(measured, limitReached));
  }
  return measured;
}

}  // namespace folio::plugin
