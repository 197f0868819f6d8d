// The text engine as the measuring and drawing passes see it: a page's text
// with its annotations in, heights and drawn pages out.  The system's lays
// plain text out whole through the platform's engine, and annotated text
// paragraph by paragraph (annotated_layout.h), the same way on every engine.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "layout/annotated_text.h"
#include "platform/color.h"
#include "platform/drawing_surface.h"
#include "platform/text_engine.h"

namespace folio::layout {

class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;
  // Lays out `text` (line feeds start new lines, long lines wrap) and stores
  // the height of all of it, however tall, in `height`.  False when the
  // layout can't be made; `height` is written only when it could be read.
  virtual bool MeasureHeight(const AnnotatedText& text, float& height) = 0;
  bool MeasureHeight(std::u16string_view text, float& height) {
    return MeasureHeight(AnnotatedText(text), height);
  }
  // The advance of `run` laid out on one line; nothing when it can't be laid out.
  virtual std::optional<float> MeasureAdvance(std::u16string_view run) = 0;
};

class TextLayouter {
 public:
  virtual ~TextLayouter() = default;

  // A measurer wrapping at `wrapWidth`, or null when its objects can't be
  // made.  `boundRect` is where its render target binds on the surface.
  virtual std::unique_ptr<TextMeasurer> CreateMeasurer(platform::DrawingSurface& surface,
                                                       const platform::FontSpec& font,
                                                       const platform::PixelRect& boundRect,
                                                       std::int32_t wrapWidth, std::int32_t maxHeight) = 0;

  // A measurer that lays text out as CreateMeasurer's does, bound to no
  // surface, for the thread that makes it.  Null where it can't be made, or
  // where the layouter has none.
  virtual std::unique_ptr<TextMeasurer> CreateLayoutMeasurer(const platform::FontSpec& /*font*/,
                                                             std::int32_t /*wrapWidth*/,
                                                             std::int32_t /*maxHeight*/) {
    return nullptr;
  }

  // Whether layouts on several threads at once take less time in all than
  // on one.
  virtual bool LaysOutFasterOnSeveralThreads() const { return true; }

  // Clears `targetRect` to `background` and draws `text` in `color`, laid out
  // in `layoutRect` (both in page pixels) as a measurer of its width lays it
  // out, and clipped to `targetRect`.  Draws nothing when its objects can't
  // be made.
  virtual void Draw(platform::DrawingSurface& surface, const platform::FontSpec& font,
                    const platform::PixelRect& targetRect, const platform::PixelRect& layoutRect,
                    const AnnotatedText& text, const platform::TextColor& color, platform::Rgb background) = 0;

  // As Draw, but sets `text` in columns from the right of `layoutRect`
  // (vertical_text.h), with cells of the font size.
  virtual void DrawColumns(platform::DrawingSurface& surface, const platform::FontSpec& font,
                           const platform::PixelRect& targetRect, const platform::PixelRect& layoutRect,
                           const AnnotatedText& text, const platform::TextColor& color,
                           platform::Rgb background) = 0;
};

// Laid out by the platform's text engine; usable from any thread.
TextLayouter& SystemTextLayouter();

}  // namespace folio::layout
