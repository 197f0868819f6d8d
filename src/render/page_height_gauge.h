// The laid-out height of a growing page text, at a cost per line that does
// not grow with the page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "layout/annotated_text.h"
#include "layout/text_layouter.h"
#include "render/page_extent_gauge.h"
#include "render/paragraph_heights.h"

namespace folio::render {

// Both text engines lay out the paragraphs of a text (the runs between line
// feeds) independently of one another and stack them, so the height of a
// page text is the sum of its finished paragraphs' heights plus the height
// of its last, open paragraph, or of the empty line after a final line feed.
// A line feed right after a carriage return doesn't end a paragraph here:
// the engines read CR LF as one separator.  The gauge lays each paragraph
// out once and keeps the sum.  Where the sum lies within a small allowance
// of the break limit, so that rounding could tip the break, it lays out the
// whole page text instead, so every break falls exactly where laying out
// the whole page text for every line would put it.
class PageHeightGauge final : public PageExtentGauge {
 public:
  // Sums within this distance of the limit are confirmed by a whole layout.
  static constexpr float kRoundingAllowance = 1.0f;

  PageHeightGauge(layout::TextMeasurer& measurer, float breakLimit) noexcept
      : measurer_(measurer), breakLimit_(breakLimit) {}

  // Stores the height of `pageText` in `height`: the page text given to the
  // last call with text appended, or after Restart any text.  False when a
  // layout can't be made; `height` is then left as it was.
  bool Measure(const layout::AnnotatedText& pageText, float& height) override;

  // The page text was replaced by one that begins `pageStart` units into the
  // text (which only heights measured ahead count in).
  void Restart(std::uint64_t pageStart) noexcept override;

  // Paragraph heights measured ahead, where there are any.
  void MeasureAheadWith(ParagraphHeightsAhead* ahead) noexcept { ahead_ = ahead; }

 private:
  bool MeasureParagraph(const layout::AnnotatedText& pageText, std::size_t start, std::size_t end, float& height);

  layout::TextMeasurer& measurer_;
  float breakLimit_;
  ParagraphHeightsAhead* ahead_ = nullptr;
  std::uint64_t pageStart_ = 0;
  std::size_t scanned_ = 0;         // units of the page text looked at for line feeds
  std::size_t paragraphStart_ = 0;  // where the open paragraph starts
  double finishedHeight_ = 0;       // the finished paragraphs' heights
  std::optional<float> emptyLineHeight_;
};

}  // namespace folio::render
