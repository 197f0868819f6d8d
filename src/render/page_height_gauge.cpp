#include "render/page_height_gauge.h"

#include <cmath>
#include <limits>

namespace folio::render {

bool PageHeightGauge::MeasureParagraph(const layout::AnnotatedText& pageText, std::size_t start, std::size_t end,
                                       float& height) {
  const layout::AnnotatedText paragraph = pageText.Part(start, end - start);
  if (!paragraph.text.empty()) {
    if (ahead_) {
      if (const std::optional<float> measured = ahead_->Take(pageStart_ + start, pageStart_ + end, measurer_)) {
        height = *measured;
        return true;
      }
    }
    return measurer_.MeasureHeight(paragraph, height);
  }
  // Empty paragraphs are all one font line high: laid out once per run.
  if (!emptyLineHeight_) {
    float empty = 0;
    if (!measurer_.MeasureHeight(paragraph, empty)) return false;
    emptyLineHeight_ = empty;
  }
  height = *emptyLineHeight_;
  return true;
}

bool PageHeightGauge::Measure(const layout::AnnotatedText& pageText, float& height) {
  const std::u16string_view text = pageText.text;
  for (std::size_t at = scanned_; at < text.size(); ++at) {
    if (text[at] != u'\n' || (at > 0 && text[at - 1] == u'\r')) continue;
    float paragraphHeight = 0;
    if (!MeasureParagraph(pageText, paragraphStart_, at, paragraphHeight)) return false;
    finishedHeight_ += paragraphHeight;
    paragraphStart_ = at + 1;
  }
  scanned_ = text.size();

  float openHeight = 0;
  if (!MeasureParagraph(pageText, paragraphStart_, text.size(), openHeight)) return false;
  const double sum = finishedHeight_ + openHeight;
  // Sums that are NaN or beyond a float's range are settled by the whole
  // layout too.
  if (std::abs(sum) <= std::numeric_limits<float>::max() && std::abs(sum - breakLimit_) > kRoundingAllowance) {
    height = static_cast<float>(sum);
    return true;
  }
  return measurer_.MeasureHeight(pageText, height);
}

void PageHeightGauge::Restart(std::uint64_t pageStart) noexcept {
  pageStart_ = pageStart;
  scanned_ = 0;
  paragraphStart_ = 0;
  finishedHeight_ = 0;
}

}  // namespace folio::render
