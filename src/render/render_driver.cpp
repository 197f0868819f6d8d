#include "render/render_driver.h"

#include <algorithm>
#include <memory>
#include <string>

#include "platform/files.h"
#include "render/bitmap_file.h"
#include "render/member_name.h"
#include "render/page_drawing.h"
#include "render/page_measuring.h"
#include "render/page_start_index.h"
#include "settings/render_settings.h"
#include "text/text_stream.h"

namespace folio::render {
namespace {

// A member name that no listing of this text made.
constexpr std::int32_t kNotAPage = 2;
constexpr std::int32_t kOutOfMemory = 4;
constexpr std::int32_t kNoBitmap = 5;
constexpr std::int32_t kTextUnreadable = 6;

// The entry's member name: up to its terminator, at most 199 units.
std::u16string MemberNameOf(const ArchiveEntryW& entry) {
  const auto* begin = std::begin(entry.fileName);
  const auto* end = std::find(begin, begin + (SUSIE_NAME_CHARS - 1), SusieWideChar{0});
  return std::u16string(begin, end);
}

// The text, standing at line `lineNumber`.
struct OpenedAt {
  text::OpenedText text;
  std::int32_t lineNumber = 0;
  std::optional<platform::FileStamp> stamp;  // as the file was opened; none when unknown
};

// Opens the text at the last page start at or before `wantedLine` that a
// listing of the file as it is now found; else at its start.
OpenedAt OpenText(std::u16string_view textPath, std::optional<std::int32_t> wantedLine) {
  std::optional<platform::InputFile> file = platform::InputFile::Open(textPath);
  if (!file) return {};
  OpenedAt opened;
  opened.stamp = file->Stamp();
  if (wantedLine && opened.stamp) {
    if (const auto shortcut = SharedPageStartIndex().Find(textPath, *opened.stamp, *wantedLine)) {
      opened.text = text::ResumeTextStream(std::move(*file), shortcut->splitting, shortcut->pageStart.start);
      if (opened.text.stream) {
        opened.lineNumber = shortcut->pageStart.line;
        return opened;
      }
      // The file has gone to the resuming stream: open it anew.
      file = platform::InputFile::Open(textPath);
      if (!file) return {};
    }
  }
  opened.text = text::OpenTextStream(std::move(*file));
  return opened;
}

// The lines that the entry's member name gives; none for a name that does
// not name a page of this text.
std::optional<LineRange> NamedLines(std::u16string_view textPath, const ArchiveEntryW* entry) {
  if (!entry) return std::nullopt;
  return LineRangeFromMemberName(textPath, MemberNameOf(*entry));
}

// Draws `range` from a stream standing at line `lineNumber` (no later than
// the range's first line).
void DrawLines(platform::TextEngine& engine, platform::DrawingSurface& surface, LineSource& lines,
               text::TextEncoding encoding, const settings::RenderSettings& settings, std::int32_t lineNumber,
               const LineRange& range) {
  const std::int32_t firstLine = range.firstLine - lineNumber;
  // An empty range stays empty without leaving 32 bits.
  const std::int32_t lastLine = range.lastLine < range.firstLine ? firstLine - 1 : range.lastLine - lineNumber;
  DrawPageText(engine, surface, lines, settings, firstLine, lastLine, encoding);
}

}  // namespace

RenderOutcome RenderTextFile(std::u16string_view textPath, platform::HostBlock* imageOut,
                             const ArchiveEntryW* entry, RenderMode mode, PageBreakList* pageBreaks) {
  const std::optional<LineRange> range = mode == RenderMode::Draw ? NamedLines(textPath, entry) : std::nullopt;
  // Drawing nothing and calling it the page would hand the host a blank page.
  if (mode == RenderMode::Draw && !range) return {kNotAPage, 0};
  OpenedAt openedAt = OpenText(textPath, range ? std::optional(range->firstLine) : std::nullopt);
  text::OpenedText& opened = openedAt.text;
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
  RenderOutcome outcome;
  if (mode == RenderMode::Measure) {
    PageBreakList ownBreaks;
    PageBreakList& breaks = pageBreaks ? *pageBreaks : ownBreaks;
    PageStartRecorder lines(*opened.stream, breaks);
    outcome.pageCount = MeasurePages(engine, *surface, lines, opened.encoding, settings, breaks);
    if (openedAt.stamp) {
      SharedPageStartIndex().Store(textPath,
                                   {*openedAt.stamp, text::SplittingOf(*opened.stream), lines.TakePageStarts()});
    }
  } else {
    TextStreamLines lines(*opened.stream);
    DrawLines(engine, *surface, lines, opened.encoding, settings, openedAt.lineNumber, *range);
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
