// The drawing pass: draws one page's lines onto the surface.
#pragma once

#include <cstdint>
#include <string_view>

#include "layout/text_layouter.h"
#include "platform/drawing_surface.h"
#include "render/line_source.h"
#include "settings/render_settings.h"

namespace folio::render {

// Skips `firstLine` lines, joins the lines up to `lastLine` (inclusive; none
// when lastLine < firstLine, fewer when the text ends) and draws them in the
// settings' font and colour, at (margin, margin) wrapped at width - 2 x margin
// as the measuring pass laid them out.  With notation, reading starts from
// `notation`, the state noted where `lines` stands.  When the text engine
// can't draw, the page keeps its background.
void DrawPageText(layout::TextLayouter& engine, platform::DrawingSurface& surface, LineSource& lines,
                  const settings::RenderSettings& settings, std::int32_t firstLine, std::int32_t lastLine,
                  const NotationState& notation);

}  // namespace folio::render
