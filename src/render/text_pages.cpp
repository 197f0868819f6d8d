#include "render/text_pages.h"

#include <memory>
#include <utility>

#include "render/bitmap_file.h"
#include "render/page_drawing.h"

namespace folio::render {
namespace {

// A page-sized surface in the settings' background; null when it can't be made.
std::unique_ptr<platform::DrawingSurface> PageSurface(const settings::RenderSettings& settings) {
  const std::optional<platform::SurfaceGeometry> geometry =
      platform::SurfaceGeometry::For(settings.width, settings.height);
  return geometry ? platform::CreateDrawingSurface(*geometry, settings.background) : nullptr;
}

// The text standing at `resume` when it can be read from there (the line
// it stands at in `lineNumber`, the notation reader's state there in
// `notation`), else at its start.  A page start noted without notation
// can't resume reading with it.
text::OpenedText OpenAt(platform::InputFile& file, const std::optional<ResumePoint>& resume,
                        settings::Notation notationRead, std::int32_t& lineNumber, NotationState& notation) {
  const bool resumable =
      resume && (notationRead == settings::Notation::None || resume->pageStart.notation.has_value());
  if (resumable) {
    text::OpenedText resumed = text::ResumeTextStream(file, resume->splitting, resume->pageStart.start);
    if (resumed.stream) {
      lineNumber = resume->pageStart.line;
      notation = resume->pageStart.notation;
      return resumed;
    }
  }
  lineNumber = 0;
  notation.reset();
  return text::OpenTextStream(file);
}

}  // namespace

MeasuredText MeasureText(std::unique_ptr<text::ByteSource> bytes, const settings::RenderSettings& settings) {
  MeasuredText measured;
  const text::OpenedText opened = text::OpenTextStream(std::move(bytes));
  // The text engine's measurer binds to a surface, though nothing is drawn.
  const std::unique_ptr<platform::DrawingSurface> surface = opened.stream ? PageSurface(settings) : nullptr;
  if (!surface) {
    measured.status = opened.stream ? RenderStatus::NoBitmap : RenderStatus::TextUnreadable;
    return measured;
  }
  const NotationState atTextStart =
      settings.notation == settings::Notation::None ? NotationState() : text::AozoraLineState();
  PageStartRecorder lines(*opened.stream, atTextStart);
  measured.pageCount = MeasurePages(layout::SystemTextLayouter(), *surface, lines, settings, measured.pageBreaks);
  measured.pageFileSize = BitmapFileSize(surface->geometry());
  measured.splitting = text::SplittingOf(*opened.stream);
  measured.pageStarts = lines.TakePageStarts();
  return measured;
}

DrawnPage DrawPage(platform::InputFile& file, const settings::RenderSettings& settings, const LineRange& range,
                   const std::optional<ResumePoint>& resume) {
  DrawnPage drawn;
  std::int32_t lineNumber = 0;
  NotationState notation;
  const text::OpenedText opened = OpenAt(file, resume, settings.notation, lineNumber, notation);
  const std::unique_ptr<platform::DrawingSurface> surface = opened.stream ? PageSurface(settings) : nullptr;
  if (!surface) {
    drawn.status = opened.stream ? RenderStatus::NoBitmap : RenderStatus::TextUnreadable;
    return drawn;
  }

  TextStreamLines lines(*opened.stream);
  const std::int32_t firstLine = range.firstLine - lineNumber;
  // An empty range stays empty without leaving 32 bits.
  const std::int32_t lastLine = range.lastLine < range.firstLine ? firstLine - 1 : range.lastLine - lineNumber;
  DrawPageText(layout::SystemTextLayouter(), *surface, lines, settings, firstLine, lastLine, notation);

  drawn.image = BuildBitmapFileBlock(*surface);
  if (!drawn.image) drawn.status = RenderStatus::OutOfMemory;
  return drawn;
}

}  // namespace folio::render
