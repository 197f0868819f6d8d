#include "layout/annotated_text.h"

#include <algorithm>

namespace folio::layout {

AnnotatedText AnnotatedText::Part(std::size_t offset, std::size_t length) const noexcept {
  AnnotatedText part = *this;
  part.text = text.substr(offset, length);
  part.origin = origin + offset;
  return part;
}

float AnnotatedText::IndentAt(std::size_t offset) const noexcept {
  const std::size_t position = origin + offset;
  const auto after =
      std::upper_bound(indents.begin(), indents.end(), position,
                       [](std::size_t at, const ParagraphIndent& indent) { return at < indent.start; });
  return after == indents.begin() ? 0.0f : std::prev(after)->pixels;
}

}  // namespace folio::layout
