// How wide a growing page text is when its lines are set in columns: the
// count of their columns times the columns' pitch.  Every column is a whole
// pitch wide, so the sum is exact: each finished paragraph is set once, and
// only the open one again as it grows.
#pragma once

#include <cstddef>
#include <cstdint>

#include "layout/text_layouter.h"
#include "layout/vertical_text.h"
#include "render/page_extent_gauge.h"

namespace folio::render {

class PageColumnGauge final : public PageExtentGauge {
 public:
  // Columns `columnLength` pixels long of cells `cellSize` pixels high,
  // `pitch` pixels apart.
  PageColumnGauge(layout::TextMeasurer& measurer, float pitch, float cellSize, float columnLength)
      : counter_(measurer, cellSize, columnLength), pitch_(pitch) {}

  // The width of the columns of `pageText`'s lines: the empty rest after a
  // final line feed is no line, and takes no column.
  bool Measure(const layout::AnnotatedText& pageText, float& width) override;
  void Restart(std::uint64_t pageStart) noexcept override;

 private:
  layout::ColumnCounter counter_;
  float pitch_;
  std::size_t scanned_ = 0;         // units of the page text looked at for line feeds
  std::size_t paragraphStart_ = 0;  // where the open paragraph starts
  std::size_t finishedColumns_ = 0;
};

}  // namespace folio::render
