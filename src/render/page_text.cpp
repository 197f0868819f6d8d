#include "render/page_text.h"

#include <algorithm>

#include "base/unicode.h"
#include "render/page_frame.h"

namespace folio::render {
namespace {

// Drawn over each character that a 傍点 note names.
constexpr std::u16string_view kEmphasisDot = u"\uFE45";  // ﹅

}  // namespace

PageText::PageText(const settings::RenderSettings& settings)
    : roomForReadings_(settings.notation == settings::Notation::Aozora),
      fullWidth_(static_cast<float>(settings.fontSize)),
      widestIndent_(std::max(static_cast<float>(MeasuringFrameOf(settings).lineLength) - fullWidth_, 0.0f)),
      letters_(kEmphasisDot) {}

void PageText::Clear() {
  text_.clear();
  letters_.resize(kEmphasisDot.size());
  readings_.clear();
  indents_.clear();
}

void PageText::AppendPlain(std::u16string_view line) {
  text_.append(line);
}

void PageText::AppendNotated(const text::AozoraLine& line) {
  AppendIndent(line.indent);
  const std::size_t textStart = text_.size();
  const std::size_t lettersStart = letters_.size();
  const std::size_t firstReading = readings_.size();
  text_.append(line.text);
  letters_.append(line.readings);
  for (const text::AozoraRuby& ruby : line.rubies) {
    readings_.push_back({{textStart + ruby.base.start, ruby.base.length},
                         {lettersStart + ruby.reading.start, ruby.reading.length}});
  }
  for (const text::AozoraTextRange& range : line.emphasis)
    AppendEmphasisDots({textStart + range.start, range.length});
  // A 傍点 note names text anywhere before it on the line: keep the readings in order.
  if (!line.emphasis.empty()) {
    std::stable_sort(
        readings_.begin() + static_cast<std::ptrdiff_t>(firstReading), readings_.end(),
        [](const layout::Reading& a, const layout::Reading& b) { return a.base.start < b.base.start; });
  }
}

void PageText::AppendIndent(std::uint16_t fullWidthCharacters) {
  const float pixels = std::min(fullWidthCharacters * fullWidth_, widestIndent_);
  const float current = indents_.empty() ? 0.0f : indents_.back().pixels;
  if (pixels != current) indents_.push_back({text_.size(), pixels});
}

void PageText::AppendEmphasisDots(const text::AozoraTextRange& range) {
  const std::size_t end = std::min(range.start + range.length, text_.size());
  for (std::size_t at = range.start; at < end;) {
    // A surrogate pair is one character, with one dot.
    const std::size_t units = base::IsHighSurrogate(text_[at]) && at + 1 < end ? 2 : 1;
    readings_.push_back({{at, units}, {0, kEmphasisDot.size()}});
    at += units;
  }
}

layout::AnnotatedText PageText::View() const {
  layout::AnnotatedText view(text_);
  if (roomForReadings_) {
    view.letters = letters_;
    view.readings = readings_;
    view.indents = indents_;
    view.roomForReadings = true;
  }
  return view;
}

}  // namespace folio::render
