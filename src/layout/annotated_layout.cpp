#include "layout/annotated_layout.h"

#include <algorithm>

#include "layout/paragraphs.h"

namespace folio::layout {
namespace {

using platform::ParagraphLayouter;
using platform::RunBox;

// An indent as wide as the text leaves no width, never a negative one.
float ParagraphWidth(float wrapWidth, float indent) {
  return std::max(wrapWidth - indent, 0.0f);
}

// The readings whose base begins in `paragraph`, drawn over it.
void DrawReadings(ParagraphLayouter& layouter, const AnnotatedText& text, const Paragraph& paragraph,
                  float paragraphLeft, float paragraphTop, float left, float right) {
  const std::size_t first = text.origin + paragraph.start;
  const std::size_t end = first + paragraph.units.size();
  auto reading = std::lower_bound(text.readings.begin(), text.readings.end(), first,
                                  [](const Reading& r, std::size_t at) { return r.base.start < at; });
  for (; reading != text.readings.end() && reading->base.start < end; ++reading) {
    const std::size_t baseStart = reading->base.start - first;
    const std::size_t baseLength = std::min(reading->base.length, paragraph.units.size() - baseStart);
    if (baseLength == 0 || reading->letters.start >= text.letters.size()) continue;
    const std::optional<RunBox> box = layouter.FirstLineBox(baseStart, baseLength);
    if (!box) continue;
    const std::optional<float> width =
        layouter.LayOutReading(text.letters.substr(reading->letters.start, reading->letters.length));
    if (!width) continue;
    // Centred over its base; a wide reading reaches over its neighbours, never out of the text's width.
    const float centre = paragraphLeft + (box->left + box->right) / 2;
    const float x = std::max(std::min(centre - *width / 2, right - *width), left);
    layouter.DrawReading(x, paragraphTop + box->roomTop);
  }
}

}  // namespace

bool MeasureAnnotatedText(ParagraphLayouter& layouter, const AnnotatedText& text, float wrapWidth, float& height) {
  double sum = 0;
  const bool measured = ForEachParagraph(text.text, [&](const Paragraph& paragraph) {
    const float width = ParagraphWidth(wrapWidth, text.IndentAt(paragraph.start));
    if (!layouter.LayOut(paragraph.units, width, text.roomForReadings)) return false;
    sum += layouter.Height();
    return true;
  });
  if (measured) height = static_cast<float>(sum);
  return measured;
}

void DrawAnnotatedText(ParagraphLayouter& layouter, const AnnotatedText& text, float left, float top,
                       float right) {
  double y = top;
  ForEachParagraph(text.text, [&](const Paragraph& paragraph) {
    const float indent = text.IndentAt(paragraph.start);
    if (!layouter.LayOut(paragraph.units, ParagraphWidth(right - left, indent), text.roomForReadings)) {
      return false;
    }
    const float paragraphTop = static_cast<float>(y);
    layouter.DrawParagraph(left + indent, paragraphTop);
    y += layouter.Height();
    DrawReadings(layouter, text, paragraph, left + indent, paragraphTop, left, right);
    return true;
  });
}

}  // namespace folio::layout
