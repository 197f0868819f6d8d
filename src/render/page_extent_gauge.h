// How far a growing page text reaches: down the page for horizontal lines
// (PageHeightGauge), across it for vertical columns (PageColumnGauge).  The
// measuring pass breaks a page before the line that takes it past its limit.
#pragma once

#include <cstdint>

#include "layout/annotated_text.h"

namespace folio::render {

class PageExtentGauge {
 public:
  virtual ~PageExtentGauge() = default;
  // Stores the extent of `pageText` in `extent`: the page text given to the
  // last call with text appended, or after Restart any text.  False when a
  // layout can't be made; `extent` is then left as it was.
  virtual bool Measure(const layout::AnnotatedText& pageText, float& extent) = 0;
  // The page text was replaced by one that begins `pageStart` units into the text.
  virtual void Restart(std::uint64_t pageStart) noexcept = 0;
};

}  // namespace folio::render
