// Vertical pages: every paragraph of a page's text set in columns
// (column_setter.h), the first column at the right edge of the text box and
// the next to the left of it, each a line advance of horizontal text apart.
// With readings, every column has room for them at its right, as every line
// of a horizontal page has above it, and each reading stands there at half
// the font size, centred along its base.  Measuring counts the columns;
// drawing places every piece and asks the engine to draw glyphs where they
// go, so that both engines set a page alike.
#pragma once

#include <cstddef>
#include <optional>

#include "layout/annotated_text.h"
#include "layout/column_setter.h"
#include "layout/text_layouter.h"
#include "platform/text_engine.h"

namespace folio::layout {

// How far apart columns stand: the line advance of horizontal text in the
// measurer's font, with the room for readings when asked; nothing when it
// can't be measured.
std::optional<float> ColumnPitch(TextMeasurer& measurer, bool roomForReadings);

// Counts the columns of paragraphs, with the measurer's advances.
class ColumnCounter {
 public:
  ColumnCounter(TextMeasurer& measurer, float cellSize, float columnLength);

  // The columns that units [start, end) of `text` take as one paragraph
  // (up to its line feed at `end`, or the text's end), indented as the text
  // is there; nothing when an advance can't be measured.
  std::optional<std::size_t> Count(const AnnotatedText& text, std::size_t start, std::size_t end);

 private:
  class MeasuredAdvances final : public RunAdvances {
   public:
    explicit MeasuredAdvances(TextMeasurer& measurer) : measurer_(measurer) {}
    std::optional<float> Advance(std::u16string_view run) override { return measurer_.MeasureAdvance(run); }

   private:
    TextMeasurer& measurer_;
  };
  MeasuredAdvances advances_;
  ColumnSetter setter_;
};

// Draws `text` in columns in the text box `box`, with cells of `cellSize`
// pixels, as ColumnCounter counts them.
void DrawColumns(platform::TextCanvas& canvas, const AnnotatedText& text, const platform::PixelRect& box,
                 float cellSize);

}  // namespace folio::layout
