#include "render/render_driver.h"

#include <algorithm>
#include <memory>
#include <string>

#include "render/bitmap_file.h"
#include "render/member_name.h"
#include "render/page_drawing.h"
#include "render/page_measuring.h"
#include "settings/render_settings.h"
#include "text/text_stream.h"

namespace folio::render {
namespace {

constexpr std::int32_t kOutOfMemory = 4;
constexpr std::int32_t kNoBitmap = 5;
constexpr std::int32_t kTextUnreadable = 6;

// The entry's member name: up to its terminator, at most 199 units.
std::u16string MemberNameOf(const ArchiveEntryW& entry) {
  const auto* begin = std::begin(entry.fileName);
  const auto* end = std::find(begin, begin + (SUSIE_NAME_CHARS - 1), SusieWideChar{0});
  return std::u16string(begin, end);
}

// Draws the lines that the entry's member name gives; a name that does not
// name a page of this text leaves the page with its background.
void DrawNamedPage(platform::TextEngine& engine, platform::DrawingSurface& surface, LineSource& lines,
                   text::TextEncoding encoding, const settings::RenderSettings& settings,
                   std::u16string_view textPath, const ArchiveEntryW* entry) {
  if (!entry) return;
  const std::optional<LineRange> range = LineRangeFromMemberName(textPath, MemberNameOf(*entry));
  if (!range) return;
  DrawPageText(engine, surface, lines, settings, range->firstLine, range->lastLine, encoding);
}

}  // namespace

RenderOutcome RenderTextFile(std::u16string_view textPath, platform::HostBlock* imageOut,
                             const ArchiveEntryW* entry, RenderMode mode, PageBreakList* pageBreaks) {
  text::OpenedText opened = text::OpenTextStream(textPath);
  if (!opened.stream) return {kTextUnreadable, 0};
  const settings::RenderSettings settings = settings::LoadRenderSettings();
  const std::optional<platform::SurfaceGeometry> geometry =
      platform::SurfaceGeometry::For(settings.width, settings.height);
  std::unique_ptr<platform::DrawingSurface> surface =
      geometry ? platform::CreateDrawingSurface(*geometry, settings.background) : nullptr;
  if (!surface) {
    text::CloseTextStream(std::move(opened.stream));
    return {kNoBitmap, 0};
  }

  platform::TextEngine& engine = platform::SystemTextEngine();
  TextStreamLines lines(*opened.stream);
  RenderOutcome outcome;
  if (mode == RenderMode::Measure) {
    PageBreakList ownBreaks;
    outcome.pageCount =
        MeasurePages(engine, *surface, lines, opened.encoding, settings, pageBreaks ? *pageBreaks : ownBreaks);
  } else {
    DrawNamedPage(engine, *surface, lines, opened.encoding, settings, textPath, entry);
  }

  if (imageOut) {
    platform::HostBlock image = BuildBitmapFileBlock(*surface);
    if (image) {
      *imageOut = std::move(image);
    } else {
      outcome.code = kOutOfMemory;
    }
  }
  surface.reset();
  text::CloseTextStream(std::move(opened.stream));
  return outcome;
}

std::int32_t RenderPage(std::u16string_view textPath, platform::HostBlock& imageOut, const ArchiveEntryW& entry) {
  PageBreakList unused;
  return RenderTextFile(textPath, &imageOut, &entry, RenderMode::Draw, &unused).code;
}

}  // namespace folio::render
