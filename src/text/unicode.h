// UTF-8 and UTF-16 conversions that never fail: malformed input becomes U+FFFD.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace folio::text {

inline constexpr char16_t kReplacementCharacter = u'\uFFFD';

std::u16string Utf8ToUtf16(std::string_view utf8);

// One character read from the front of UTF-8 bytes.
struct Utf8Character {
  char32_t codePoint;  // U+FFFD for a malformed sequence
  std::size_t length;  // bytes taken, 1 to 4 (0 only for empty input)
};
// Needs no byte beyond the fourth: callers streaming bytes decode once four
// are at hand (or the data has ended).
Utf8Character DecodeUtf8Character(const unsigned char* bytes, std::size_t count) noexcept;
// Appends one code point as one unit or a surrogate pair; the count of units.
std::size_t EncodeUtf16(char32_t codePoint, char16_t* units) noexcept;
std::string Utf16ToUtf8(std::u16string_view utf16);

// Lower-cases ASCII letters only (for comparisons that must not depend on a locale).
char16_t AsciiLower(char16_t unit) noexcept;
bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) noexcept;

}  // namespace folio::text
