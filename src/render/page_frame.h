// Where a page's text goes, in pixels, from the page size and margin.  Sums
// that leave 32 bits saturate instead of wrapping.
#pragma once

#include <cstdint>

#include "platform/text_engine.h"
#include "settings/render_settings.h"

namespace folio::render {

struct MeasuringFrame {
  platform::PixelRect boundRect;  // margin, margin, width - 2 x margin, height - 2 x margin
  std::int32_t wrapWidth;         // width - 2 x margin
  std::int32_t maxHeight;         // height - 2 x margin
  // A page's lines may grow to this height (height - margin); on vertical
  // pages its columns to this width (width - margin).
  float breakLimit;
  // How long a line grows before it wraps: wrapWidth, or on vertical pages
  // a column's length, maxHeight.
  std::int32_t lineLength;
};

// The text is drawn in the same box it was measured in, so that every line
// that a page was given lies on the page: the render target covers the whole
// page and the text box starts at (margin, margin), width - 2 x margin wide.
struct DrawingFrame {
  platform::PixelRect targetRect;  // 0, 0, width, height
  platform::PixelRect layoutRect;  // margin, margin, width - margin, height - margin
};

MeasuringFrame MeasuringFrameOf(const settings::RenderSettings& settings) noexcept;
DrawingFrame DrawingFrameOf(const settings::RenderSettings& settings) noexcept;

platform::FontSpec FontOf(const settings::RenderSettings& settings) noexcept;

}  // namespace folio::render
