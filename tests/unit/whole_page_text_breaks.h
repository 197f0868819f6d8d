// The break list that laying out the whole page text again for every line
// gives: the definition that the measuring pass must match exactly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/text_engine.h"
#include "render/page_measuring.h"

namespace folio::render {

inline PageBreakList WholePageTextBreaks(platform::TextMeasurer& measurer,
                                         const std::vector<std::u16string>& lines, float breakLimit,
                                         std::int32_t pageLimit) {
  PageBreakList breaks{0};
  std::u16string pageText;
  float height = 0;
  bool measuring = true;
  std::int32_t completedPages = 0;
  for (std::int32_t number = 0; number < static_cast<std::int32_t>(lines.size()); ++number) {
    pageText += lines[number];
    if (measuring) measuring = measurer.MeasureHeight(pageText, height);
    if (!(height > breakLimit)) continue;
    breaks.push_back(number);
    if (completedPages + 1 == pageLimit) {
      breaks.push_back(number);
      return breaks;
    }
    pageText = lines[number];
    ++completedPages;
  }
  breaks.push_back(static_cast<std::int32_t>(lines.size()));
  return breaks;
}

}  // namespace folio::render
