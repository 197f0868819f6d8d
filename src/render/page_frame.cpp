#include "render/page_frame.h"

#include <algorithm>
#include <limits>

namespace folio::render {
namespace {

std::int32_t Saturated(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                            std::numeric_limits<std::int32_t>::max()));
}

// size - count x margin
std::int32_t Inset(std::int32_t size, std::int32_t margin, std::int64_t count) {
  return Saturated(size - count * margin);
}

}  // namespace

MeasuringFrame MeasuringFrameOf(const settings::RenderSettings& settings) noexcept {
  const std::int32_t margin = settings.margin;
  const std::int32_t insetWidth = Inset(settings.width, margin, 2);
  const std::int32_t insetHeight = Inset(settings.height, margin, 2);
  if (settings.vertical) {
    return {{margin, margin, insetWidth, insetHeight},
            insetWidth,
            insetHeight,
            static_cast<float>(Inset(settings.width, margin, 1)),
            insetHeight};
  }
  return {{margin, margin, insetWidth, insetHeight},
          insetWidth,
          insetHeight,
          static_cast<float>(Inset(settings.height, margin, 1)),
          insetWidth};
}

DrawingFrame DrawingFrameOf(const settings::RenderSettings& settings) noexcept {
  const std::int32_t margin = settings.margin;
  return {{0, 0, settings.width, settings.height},
          {margin, margin, Inset(settings.width, margin, 1), Inset(settings.height, margin, 1)}};
}

platform::FontSpec FontOf(const settings::RenderSettings& settings) noexcept {
  return {settings.fontFamily, settings.fontSize};
}

}  // namespace folio::render
