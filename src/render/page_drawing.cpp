#include "render/page_drawing.h"

#include <array>
#include <string>

#include "render/page_frame.h"

namespace folio::render {
namespace {

std::u16string PageText(LineSource& lines, std::int32_t firstLine, std::int32_t lastLine,
                        text::TextEncoding encoding) {
  std::u16string pageText;
  text::LineBuffer line;
  // Skipped lines are not repaired: only their count matters.
  for (std::int32_t skipped = 0; skipped < firstLine; ++skipped) {
    if (!lines.ReadLine(line)) return pageText;
  }
  const std::int64_t count = std::int64_t{lastLine} - firstLine + 1;
  for (std::int64_t read = 0; read < count && ReadPageLine(lines, encoding, line); ++read) {
    pageText.append(LineText(line));
  }
  return pageText;
}

}  // namespace

void DrawPageText(platform::TextEngine& engine, platform::DrawingSurface& surface, LineSource& lines,
                  const settings::RenderSettings& settings, std::int32_t firstLine, std::int32_t lastLine,
                  text::TextEncoding encoding) {
  const std::u16string pageText = PageText(lines, firstLine, lastLine, encoding);
  const DrawingFrame frame = DrawingFrameOf(settings);
  engine.Draw(surface, FontOf(settings), frame.targetRect, frame.layoutRect, pageText,
              FontColorFromName(settings.fontColorName), settings::StockBrushColor(settings.background));
}

platform::TextColor FontColorFromName(std::u16string_view name) noexcept {
  struct NamedColor {
    std::u16string_view name;
    platform::TextColor color;
  };
  static constexpr std::array<NamedColor, 4> kColors{{{u"BLACK", {0.0f, 0.0f, 0.0f, 1.0f}},
                                                      {u"DARK_GRAY", {0.25f, 0.25f, 0.25f, 1.0f}},
                                                      {u"GRAY", {0.5f, 0.5f, 0.5f, 1.0f}},
                                                      {u"LIGHT_GRAY", {0.75f, 0.75f, 0.75f, 1.0f}}}};
  for (const auto& named : kColors) {
    if (name == named.name) return named.color;
  }
  return {1.0f, 1.0f, 1.0f, 1.0f};
}

}  // namespace folio::render
