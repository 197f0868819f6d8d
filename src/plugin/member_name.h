// Member names "<stem>%03d-%03d.bmp": written by the page list, read back
// when a page is drawn.  They are the only link between a listed page and
// its lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "render/text_pages.h"

namespace folio::plugin {

// Stems are cut to this many UTF-16 units (never inside a surrogate pair), so
// that a name with any two 32-bit line numbers fits the 200-unit field.
inline constexpr std::size_t kMaxStemUnits = 172;

// The text file's name without folder and extension, cut as above.
std::u16string MemberStem(std::u16string_view textPath);

std::u16string FormatMemberName(std::u16string_view stem, std::int32_t firstLine, std::int32_t lastLine);

// The line range of a member name formed from the stem of this text path (or
// of the same path in another letter case); nullopt for a name not of that
// form.
std::optional<render::LineRange> LineRangeFromMemberName(std::u16string_view textPath,
                                                         std::u16string_view memberName);

}  // namespace folio::plugin
