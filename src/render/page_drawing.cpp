#include "render/page_drawing.h"

#include "render/page_frame.h"
#include "render/page_lines.h"
#include "render/page_text.h"

namespace folio::render {

void DrawPageText(layout::TextLayouter& engine, platform::DrawingSurface& surface, LineSource& lines,
                  const settings::RenderSettings& settings, std::int32_t firstLine, std::int32_t lastLine,
                  const NotationState& notation) {
  PageLineReader reader(lines, settings, notation);
  PageText pageText(settings);
  // Lines before the page are read too: their notes carry on into it.
  bool textReachesPage = true;
  for (std::int32_t skipped = 0; skipped < firstLine && textReachesPage; ++skipped)
    textReachesPage = reader.Next();
  const std::int64_t count = textReachesPage ? std::int64_t{lastLine} - firstLine + 1 : 0;
  for (std::int64_t read = 0; read < count && reader.Next(); ++read) reader.AppendLineTo(pageText);
  const DrawingFrame frame = DrawingFrameOf(settings);
  if (settings.vertical) {
    engine.DrawColumns(surface, FontOf(settings), frame.targetRect, frame.layoutRect, pageText.View(),
                       settings.fontColor, settings.background);
  } else {
    engine.Draw(surface, FontOf(settings), frame.targetRect, frame.layoutRect, pageText.View(), settings.fontColor,
                settings.background);
  }
}

}  // namespace folio::render
