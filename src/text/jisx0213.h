// The characters of JIS X 0213 by plane, row and cell: the character set of
// Shift_JIS (JIS X 0208) with the kanji and symbols it lacks added, by whose
// codes e-texts name those.
#pragma once

namespace folio::text {

// A cell's character: one code point, or two for the few cells that are a
// kana or letter with a combining mark.  first is 0 for a cell that holds
// no character.
struct JisX0213Character {
  char32_t first = 0;
  char32_t second = 0;  // 0 unless the cell is two code points
};

// Plane 1 or 2, row and cell 1 to 94; other numbers hold no character.
JisX0213Character JisX0213CharacterAt(int plane, int row, int cell) noexcept;

}  // namespace folio::text
