// What setting a character in a vertical column needs to know of it, from
// the Unicode Character Database (vertical_properties_table.inc, made by
// tools/tables/generate_vertical_properties.py): how it stands in a column,
// where a column may break around it, whether it belongs to the character
// before it, and its vertical presentation form.
#pragma once

#include <cstdint>
#include <optional>

namespace folio::layout {

// Unicode's Vertical_Orientation, with Japanese text's dashes and leaders
// set upright in their vertical forms.
enum class VerticalOrientation : std::uint8_t {
  Upright,              // U: kanji, kana, full-width forms
  Sideways,             // R: turned 90 degrees clockwise, as Latin text is
  UprightVerticalForm,  // Tu: upright, in its vertical form where the font has one
  VerticalForm,         // Tr: its vertical form, else turned
};

// The line-break classes that decide where a column may break; Other for
// every class that allows a break on both sides.
enum class BreakClass : std::uint8_t {
  Other,
  OpenPunctuation,      // OP: ends no column
  ClosePunctuation,     // CL
  CloseParenthesis,     // CP
  Exclamation,          // EX
  InfixSeparator,       // IS
  Nonstarter,           // NS
  ConditionalJapanese,  // CJ: small kana, the prolonged sound mark
  Inseparable,          // IN: leaders, never split when doubled
  BreakBoth,            // B2: dashes, never split when doubled
  Space,                // SP
  Glue,                 // GL
  WordJoiner,           // WJ
  ZeroWidthSpace,       // ZW
  CombiningMark,        // CM
  ZeroWidthJoiner,      // ZWJ
};

struct VerticalProperties {
  VerticalOrientation orientation;
  BreakClass breakClass;
  bool extendsCluster;  // a combining mark, a variation selector, a joiner
};

VerticalProperties VerticalPropertiesOf(char32_t codePoint) noexcept;

// The character's vertical presentation form (U+FE10-FE19, U+FE30-FE48),
// for fonts without vertical glyphs of their own.
std::optional<char32_t> VerticalPresentationForm(char32_t codePoint) noexcept;

}  // namespace folio::layout
