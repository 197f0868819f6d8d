#include "render/page_drawing.h"

#include <string>

#include "render/page_frame.h"

namespace folio::render {
namespace {

std::u16string PageText(LineSource& lines, std::int32_t firstLine, std::int32_t lastLine) {
  std::u16string pageText;
  text::TextLine line;
  for (std::int32_t skipped = 0; skipped < firstLine; ++skipped) {
    if (!lines.ReadLine(line)) return pageText;
  }
  const std::int64_t count = std::int64_t{lastLine} - firstLine + 1;
  for (std::int64_t read = 0; read < count && lines.ReadLine(line); ++read) pageText.append(line.visible());
  return pageText;
}

}  // namespace

void DrawPageText(platform::TextEngine& engine, platform::DrawingSurface& surface, LineSource& lines,
                  const settings::RenderSettings& settings, std::int32_t firstLine, std::int32_t lastLine) {
  const std::u16string pageText = PageText(lines, firstLine, lastLine);
  const DrawingFrame frame = DrawingFrameOf(settings);
  engine.Draw(surface, FontOf(settings), frame.targetRect, frame.layoutRect, pageText, settings.fontColor,
              settings.background);
}

}  // namespace folio::render
