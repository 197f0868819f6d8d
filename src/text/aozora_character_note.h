// The note that e-texts write after a ※ for a character Shift_JIS lacks,
// naming it by its code: ※［＃「さんずい＋首」、第4水準2-78-78］ (a JIS X 0213
// plane, row and cell, with or without the level before it) or
// ※［＃「口＋世」、U+546D、56-3］ (a Unicode code point).
#pragma once

#include <cstddef>
#include <string_view>

namespace folio::text {

// The character as UTF-16: one or two code points, so up to four units.
struct NamedCharacter {
  char16_t units[4] = {};
  std::size_t size = 0;  // 0: the note names no character to draw
  std::u16string_view View() const { return {units, size}; }
};

// The character that a note's text (between ［＃ and ］) names.  A U+ code
// wins over a plane-row-cell; a code naming a surrogate, a control
// character, nothing beyond U+10FFFF or an empty cell counts as no code,
// and a note with only a description or the page and line of the printed
// source names none.
NamedCharacter CharacterNamedByNote(std::u16string_view note) noexcept;

}  // namespace folio::text
