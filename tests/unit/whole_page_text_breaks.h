// The break list that laying out the whole page text again for every line
// gives: the definition that the measuring pass must match exactly (for
// texts without notes that end pages).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "layout/text_layouter.h"
#include "listed_lines.h"
#include "render/page_lines.h"
#include "render/page_measuring.h"
#include "render/page_text.h"

namespace folio::render {

inline PageBreakList WholePageTextBreaks(layout::TextMeasurer& measurer, const std::vector<std::u16string>& lines,
                                         float breakLimit, const settings::RenderSettings& settings) {
  PageBreakList breaks{0};
  ListedLines source(lines);
  PageLineReader reader(source, settings, std::nullopt);
  PageText pageText(settings);
  float height = 0;
  bool measuring = true;
  std::int32_t completedPages = 0;
  std::int32_t number = 0;
  for (; reader.Next(); ++number) {
    reader.AppendLineTo(pageText);
    if (measuring) measuring = measurer.MeasureHeight(pageText.View(), height);
    if (!(height > breakLimit)) continue;
    breaks.push_back(number);
    if (completedPages + 1 == settings.pageLimit) {
      breaks.push_back(number);
      return breaks;
    }
    pageText.Clear();
    reader.AppendLineTo(pageText);
    ++completedPages;
  }
  breaks.push_back(number);
  return breaks;
}

}  // namespace folio::render
