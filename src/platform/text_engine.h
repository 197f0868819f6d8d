// Laying out and drawing text on a drawing surface.  Windows: Direct2D and
// DirectWrite through a DC render target.  Elsewhere: Pango and Cairo, with
// unhinted metrics and unrounded glyph positions so that text measures as
// DirectWrite's natural mode measures it.  A plain text is laid out whole;
// an annotated one paragraph by paragraph (annotated_layout.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/annotated_text.h"
#include "platform/color.h"
#include "platform/drawing_surface.h"

namespace folio::platform {

// Integer pixel rectangle of a page; right and bottom are coordinates.
struct PixelRect {
  std::int32_t left;
  std::int32_t top;
  std::int32_t right;
  std::int32_t bottom;
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct FontSpec {
  std::u16string_view family;  // possibly empty: the platform chooses
  std::int32_t pixelSize;
};

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
};

class TextEngine {
 public:
  virtual ~TextEngine() = default;

  // A measurer wrapping at `wrapWidth`, or null when its objects can't be
  // made.  `boundRect` is where its render target binds on the surface.
  virtual std::unique_ptr<TextMeasurer> CreateMeasurer(DrawingSurface& surface, const FontSpec& font,
                                                       const PixelRect& boundRect, std::int32_t wrapWidth,
                                                       std::int32_t maxHeight) = 0;

  // A measurer that lays text out as CreateMeasurer's does, bound to no
  // surface, for the thread that makes it: measurers on several threads
  // share nothing that isn't free-threaded.  Null where it can't be made,
  // or where the engine has none.
  virtual std::unique_ptr<TextMeasurer> CreateLayoutMeasurer(const FontSpec& /*font*/, std::int32_t /*wrapWidth*/,
                                                             std::int32_t /*maxHeight*/) {
    return nullptr;
  }

  // Whether layouts on several threads at once take less time in all than
  // on one: false where the engine serialises them inside.
  virtual bool LaysOutFasterOnSeveralThreads() const { return true; }

  // Clears `targetRect` to `background` and draws `text` in `color`, laid out
  // in `layoutRect` (both in page pixels) as a measurer of its width lays it
  // out, and clipped to `targetRect`.  Draws nothing when its objects can't
  // be made.
  virtual void Draw(DrawingSurface& surface, const FontSpec& font, const PixelRect& targetRect,
                    const PixelRect& layoutRect, const AnnotatedText& text, const TextColor& color,
                    Rgb background) = 0;
};

// This platform's engine; usable from any thread.
TextEngine& SystemTextEngine();

// Releases what the engine keeps between calls, but for what the system's
// graphics libraries would make again at every load (Windows: one Direct2D
// factory, left to the process).  Called when the host unloads the library,
// never when the process ends: by then the host's other threads are gone,
// and releasing graphics objects can hang.
void ReleaseKeptEngineObjects() noexcept;

}  // namespace folio::platform
