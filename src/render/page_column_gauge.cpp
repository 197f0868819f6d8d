#include "render/page_column_gauge.h"

#include <optional>

namespace folio::render {

bool PageColumnGauge::Measure(const layout::AnnotatedText& pageText, float& width) {
  const std::u16string_view text = pageText.text;
  for (std::size_t at = scanned_; at < text.size(); ++at) {
    if (text[at] != u'\n') continue;
    const std::optional<std::size_t> columns = counter_.Count(pageText, paragraphStart_, at);
    if (!columns) return false;
    finishedColumns_ += *columns;
    paragraphStart_ = at + 1;
  }
  scanned_ = text.size();
  std::size_t columns = finishedColumns_;
  if (paragraphStart_ < text.size()) {
    const std::optional<std::size_t> open = counter_.Count(pageText, paragraphStart_, text.size());
    if (!open) return false;
    columns += *open;
  }
  width = static_cast<float>(static_cast<double>(columns) * pitch_);
  return true;
}

void PageColumnGauge::Restart(std::uint64_t) noexcept {
  scanned_ = 0;
  paragraphStart_ = 0;
  finishedColumns_ = 0;
}

}  // namespace folio::render
