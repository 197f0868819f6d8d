// Laying out an annotated text paragraph by paragraph, the same way on every
// text engine: each paragraph in a layout of its own, as wide as the text
// less its indent, stacked one under the other; each reading centred over
// the first line's part of its base, and kept inside the text's width.
// The engines only lay out, find and draw (ParagraphLayouter).
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "platform/annotated_text.h"

namespace folio::platform {

// Where a run of a paragraph lies on its first line, in the paragraph's
// pixels: its left and right edges, and the top of the room above the line.
struct RunBox {
  float left;
  float right;
  float roomTop;
};

// One engine's layouts of a paragraph and of a reading.
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
  // Draws the paragraph laid out last with its top left corner at (x, y).
  virtual void DrawParagraph(float x, float y) = 0;
  // Lays out a reading at half the font size: its width, or nothing when it can't.
  virtual std::optional<float> LayOutReading(std::u16string_view letters) = 0;
  // Draws the reading laid out last with its top left corner at (x, y).
  virtual void DrawReading(float x, float y) = 0;
};

// The height of `text` with each paragraph (the runs between line feeds; a
// carriage return before a line feed belongs to the separator) wrapped at
// `wrapWidth` less its indent.  False when a paragraph can't be laid out.
bool MeasureAnnotatedText(ParagraphLayouter& layouter, const AnnotatedText& text, float wrapWidth, float& height);

// Draws `text` with its top left corner at (left, top), wrapped as
// MeasureAnnotatedText wraps it, and its readings between left and right.
void DrawAnnotatedText(ParagraphLayouter& layouter, const AnnotatedText& text, float left, float top, float right);

}  // namespace folio::platform
