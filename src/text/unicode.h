// UTF-8 and UTF-16 conversions that never fail: malformed input becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace folio::text {

inline constexpr char16_t kReplacementCharacter = u'\uFFFD';

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Lower-cases ASCII letters only (for comparisons that must not depend on a locale).
char16_t AsciiLower(char16_t unit) noexcept;
bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) noexcept;

}  // namespace folio::text
