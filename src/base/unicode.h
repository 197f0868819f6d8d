// Text helpers for every layer: UTF-8 and UTF-16 conversions that never fail
// (malformed input becomes U+FFFD), surrogates, and ASCII letter case.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace folio::base {

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
// One character read at `at` of UTF-16 units (at < text.size()).
struct Utf16Character {
  char32_t codePoint;  // U+FFFD for a surrogate without its other half
  std::size_t length;  // units taken: 1, or 2 for a surrogate pair
};
Utf16Character DecodeUtf16Character(std::u16string_view text, std::size_t at) noexcept;
// Appends one code point as one unit or a surrogate pair; the count of units.
std::size_t EncodeUtf16(char32_t codePoint, char16_t* units) noexcept;
std::string Utf16ToUtf8(std::u16string_view utf16);

inline bool IsHighSurrogate(char16_t unit) noexcept {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

// Compares ignoring the case of ASCII letters only, for names that must not
// depend on a locale (INI sections and keys, colour names).
template <typename Char>
constexpr bool EqualsIgnoringAsciiCase(std::basic_string_view<Char> a, std::basic_string_view<Char> b) noexcept {
  auto lower = [](Char c) { return c >= Char('A') && c <= Char('Z') ? static_cast<Char>(c + 32) : c; };
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace folio::base
