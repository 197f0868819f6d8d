// Laying out and drawing text on a drawing surface.  Windows: Direct2D and
// DirectWrite through a DC render target.  Elsewhere: Pango and Cairo, with
// unhinted metrics and unrounded glyph positions so that text measures as
// DirectWrite's natural mode measures it.  The engines lay out what they are
// given, a whole text or one paragraph or reading at a time; how annotated
// text is put together from those is the same on both (src/layout).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

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

// Where a run of a paragraph lies on its first line, in the paragraph's
// pixels: its left and right edges, and the top of the room above the line.
struct RunBox {
  float left;
  float right;
  float roomTop;
};

// One engine's layouts of a paragraph and of a reading: a paragraph wraps
// at a width and may have room above every line for readings; a reading is
// one line at half the font size.
class ParagraphLayouter {
 public:
  virtual ~ParagraphLayouter() = default;
  // Lays out `paragraph` (no line feeds) wrapped at `width`, with room above
  // every line for readings when asked; false when it can't.
  virtual bool LayOut(std::u16string_view paragraph, float width, bool roomForReadings) = 0;
  // The paragraph laid out last: its height, its lines' room included.
  virtual float Height() = 0;
  // The paragraph laid out last: where units [start, start + length) lie on
  // their first line; nothing when the engine can't tell.
  virtual std::optional<RunBox> FirstLineBox(std::size_t start, std::size_t length) = 0;
  // Draws the paragraph laid out last with its top left corner at (x, y);
  // nothing when the layouter only measures.
  virtual void DrawParagraph(float x, float y) = 0;
  // Lays out a reading at half the font size: its width, or nothing when it can't.
  virtual std::optional<float> LayOutReading(std::u16string_view letters) = 0;
  // Draws the reading laid out last with its top left corner at (x, y).
  virtual void DrawReading(float x, float y) = 0;
};

class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;
  // Lays out `text` whole (line feeds start new lines, long lines wrap) and
  // stores the height of all of it, however tall, in `height`.  False when
  // the layout can't be made; `height` is written only when it could be read.
  virtual bool MeasureHeight(std::u16string_view text, float& height) = 0;
  // Paragraphs in the measurer's font, for measuring: made when first
  // asked for and kept with the measurer; null when they can't be made.
  virtual ParagraphLayouter* Paragraphs() = 0;
  // The advance of `run` laid out on one line in the measurer's font;
  // nothing when it can't be laid out.
  virtual std::optional<float> MeasureAdvance(std::u16string_view run) = 0;
};

// A character drawn upright: units [start, start + length) of a text, with
// its glyphs' advance centred on `x` and their baseline at `y`.
struct UprightCluster {
  std::size_t start;
  std::size_t length;
  float x;
  float y;
};

// Glyphs drawn where the caller places them, for text set in columns.
class GlyphPen {
 public:
  virtual ~GlyphPen() = default;
  // The advance of `run` laid out on one line at `pixelSize`; nothing when
  // it can't be laid out.
  virtual std::optional<float> Advance(std::u16string_view run, float pixelSize) = 0;
  // Whether the font's vertical forms (its `vert` feature) change the
  // glyphs of `cluster`, a character with what belongs to it.
  virtual bool HasVerticalForm(std::u16string_view cluster) = 0;
  // Whether the font, or the one that stands in for its missing characters,
  // has glyphs for all of `cluster`.
  virtual bool HasGlyphs(std::u16string_view cluster) = 0;
  // Draws each cluster of `text` upright, in the font's vertical forms, at
  // `pixelSize`.
  virtual void DrawUpright(std::u16string_view text, std::span<const UprightCluster> clusters,
                           float pixelSize) = 0;
  // Draws `run` on one line at `pixelSize` with its baseline beginning at
  // (x, y): across, or turned 90 degrees clockwise so that it runs down.
  virtual void DrawRun(std::u16string_view run, float pixelSize, float x, float y, bool turned) = 0;
};

// One page's text being drawn: made when the drawing begins, with the
// target cleared to the page's background, and finished when destroyed.
// Coordinates are the page's pixels.
class TextCanvas {
 public:
  virtual ~TextCanvas() = default;
  // Draws `text` laid out whole in the canvas's text box, as a measurer of
  // its width lays it out.
  virtual void DrawText(std::u16string_view text) = 0;
  // Paragraphs that draw onto the canvas, made when first asked for; null
  // when they can't be made.
  virtual ParagraphLayouter* Paragraphs() = 0;
  // Glyphs drawn onto the canvas in the font, made when first asked for;
  // null when they can't be made.
  virtual GlyphPen* Glyphs() = 0;
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
  // share nothing that isn't free-threaded.  Null where it can't be made.
  virtual std::unique_ptr<TextMeasurer> CreateLayoutMeasurer(const FontSpec& font, std::int32_t wrapWidth,
                                                             std::int32_t maxHeight) = 0;

  // Whether layouts on several threads at once take less time in all than
  // on one: false where the engine serialises them inside.
  virtual bool LaysOutFasterOnSeveralThreads() const = 0;

  // Begins drawing onto `targetRect` of the surface: clears it to
  // `background`, and draws text in `font` and `color` in the text box
  // `layoutRect`, clipped to `targetRect`.  Null when its objects can't be
  // made: the surface then keeps its pixels.
  virtual std::unique_ptr<TextCanvas> BeginDrawing(DrawingSurface& surface, const FontSpec& font,
                                                   const PixelRect& targetRect, const PixelRect& layoutRect,
                                                   const TextColor& color, Rgb background) = 0;
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
