#include "bench/engine_reference.h"

#include <memory>
#include <optional>
#include <stdexcept>

#include "base/unicode.h"
#include "layout/text_layouter.h"
#include "platform/drawing_surface.h"
#include "platform/files.h"
#include "render/line_source.h"
#include "render/page_frame.h"
#include "render/page_lines.h"
#include "text/text_stream.h"

namespace folio::bench {
namespace {

// The text file and its stream.
class OpenText {
 public:
  explicit OpenText(const std::filesystem::path& path) : file_(platform::InputFile::Open(path.u16string())) {
    if (file_) opened_ = text::OpenTextStream(*file_);
    if (!opened_.stream) throw std::runtime_error("can't open " + path.string());
  }

  text::TextStream& stream() { return *opened_.stream; }

  // The next line as the measuring pass sees it.
  std::optional<std::u16string_view> NextLine() {
    if (!text::ReadTextLine(*opened_.stream, line_)) return std::nullopt;
    return line_.visible();
  }

 private:
  std::optional<platform::InputFile> file_;
  text::OpenedText opened_;
  text::TextLine line_;
};

}  // namespace

ReferenceRun LayOutEveryLineOnce(const std::filesystem::path& text, const settings::RenderSettings& settings) {
  OpenText opened(text);
  const std::optional<platform::SurfaceGeometry> geometry =
      platform::SurfaceGeometry::For(settings.width, settings.height);
  const std::unique_ptr<platform::DrawingSurface> surface =
      geometry ? platform::CreateDrawingSurface(*geometry, settings.background) : nullptr;
  if (!surface) throw std::runtime_error("can't make the page surface");
  const render::MeasuringFrame frame = render::MeasuringFrameOf(settings);
  const std::unique_ptr<layout::TextMeasurer> measurer = layout::SystemTextLayouter().CreateMeasurer(
      *surface, render::FontOf(settings), frame.boundRect, frame.wrapWidth, frame.maxHeight);

  ReferenceRun run;
  run.measuredAll = measurer != nullptr;
  while (const std::optional<std::u16string_view> line = opened.NextLine()) {
    float height = 0;
    if (run.measuredAll && !measurer->MeasureHeight(*line, height)) run.measuredAll = false;
    ++run.lines;
  }
  return run;
}

BareDrawing::BareDrawing(const std::filesystem::path& text, const settings::RenderSettings& settings,
                         std::int64_t endLine)
    : settings_(settings), pageText_(settings) {
  OpenText opened(text);
  render::TextStreamLines lines(opened.stream());
  render::PageLineReader reader(lines, settings, std::nullopt);
  for (std::int64_t line = 0; line < endLine && reader.Next(); ++line) reader.AppendLineTo(pageText_);
}

bool BareDrawing::Draw() const {
  const std::optional<platform::SurfaceGeometry> geometry =
      platform::SurfaceGeometry::For(settings_.width, settings_.height);
  const std::unique_ptr<platform::DrawingSurface> surface =
      geometry ? platform::CreateDrawingSurface(*geometry, settings_.background) : nullptr;
  if (!surface) return false;
  const render::DrawingFrame frame = render::DrawingFrameOf(settings_);
  layout::SystemTextLayouter().Draw(*surface, render::FontOf(settings_), frame.targetRect, frame.layoutRect,
                                    pageText_.View(), settings_.fontColor, settings_.background);
  return true;
}

std::string TextAsRead(const std::filesystem::path& text) {
  OpenText opened(text);
  std::u16string units;
  while (const std::optional<std::u16string_view> line = opened.NextLine()) units.append(*line);
  return base::Utf16ToUtf8(units);
}

}  // namespace folio::bench
