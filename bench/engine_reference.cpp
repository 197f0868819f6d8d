#include "bench/engine_reference.h"

#include <memory>
#include <optional>
#include <stdexcept>

#include "platform/drawing_surface.h"
#include "platform/text_engine.h"
#include "render/line_source.h"
#include "render/page_frame.h"
#include "text/text_stream.h"
#include "text/unicode.h"

namespace folio::bench {
namespace {

// The text stream, closed on every way out.
class OpenText {
 public:
  explicit OpenText(const std::filesystem::path& path) : opened_(text::OpenTextStream(path.u16string())) {
    if (!opened_.stream) throw std::runtime_error("can't open " + path.string());
  }
  OpenText(const OpenText&) = delete;
  OpenText& operator=(const OpenText&) = delete;
  ~OpenText() { text::CloseTextStream(std::move(opened_.stream)); }

  // The next line as the measuring pass sees it (big-endian lines repaired).
  std::optional<std::u16string_view> NextLine() {
    render::TextStreamLines lines(*opened_.stream);
    if (!render::ReadPageLine(lines, opened_.encoding, line_)) return std::nullopt;
    return render::LineText(line_);
  }

 private:
  text::OpenedText opened_;
  text::LineBuffer line_{};
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
  const std::unique_ptr<platform::TextMeasurer> measurer = platform::SystemTextEngine().CreateMeasurer(
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

std::string TextAsRead(const std::filesystem::path& text) {
  OpenText opened(text);
  std::u16string units;
  while (const std::optional<std::u16string_view> line = opened.NextLine()) units.append(*line);
  return text::Utf16ToUtf8(units);
}

}  // namespace folio::bench
