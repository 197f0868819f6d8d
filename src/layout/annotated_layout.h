// Laying out an annotated text paragraph by paragraph, the same way on every
// text engine: each paragraph in a layout of its own, as wide as the text
// less its indent, stacked one under the other; each reading centred over
// the first line's part of its base, and kept inside the text's width.
// The engines only lay out, find and draw (ParagraphLayouter).
#pragma once

#include "layout/annotated_text.h"
#include "platform/text_engine.h"

namespace folio::layout {

// The height of `text` with each paragraph (the runs between line feeds; a
// carriage return before a line feed belongs to the separator) wrapped at
// `wrapWidth` less its indent.  False when a paragraph can't be laid out.
bool MeasureAnnotatedText(platform::ParagraphLayouter& layouter, const AnnotatedText& text, float wrapWidth,
                          float& height);

// Draws `text` with its top left corner at (left, top), wrapped as
// MeasureAnnotatedText wraps it, and its readings between left and right.
void DrawAnnotatedText(platform::ParagraphLayouter& layouter, const AnnotatedText& text, float left, float top,
                       float right);

}  // namespace folio::layout
