#include "layout/vertical_properties.h"

#include <algorithm>
#include <iterator>

namespace folio::layout {
namespace {

struct VerticalFormPair {
  char32_t character;
  char32_t form;
};

#include "layout/vertical_properties_table.inc"

}  // namespace

VerticalProperties VerticalPropertiesOf(char32_t codePoint) noexcept {
  // The last range that begins at or before the code point.
  const std::uint32_t key = (static_cast<std::uint32_t>(std::min<char32_t>(codePoint, 0x10FFFF)) << 8) | 0xFF;
  const auto* range =
      std::upper_bound(std::begin(kVerticalPropertyRanges), std::end(kVerticalPropertyRanges), key);
  const std::uint32_t value = *std::prev(range) & 0xFF;
  return {static_cast<VerticalOrientation>(value & 0x3), static_cast<BreakClass>((value >> 2) & 0xF),
          (value & 0x40) != 0};
}

std::optional<char32_t> VerticalPresentationForm(char32_t codePoint) noexcept {
  const auto* pair = std::lower_bound(std::begin(kVerticalForms), std::end(kVerticalForms), codePoint,
                                      [](const VerticalFormPair& p, char32_t c) { return p.character < c; });
  if (pair == std::end(kVerticalForms) || pair->character != codePoint) return std::nullopt;
  return pair->form;
}

}  // namespace folio::layout
