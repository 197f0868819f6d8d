#include "base/unicode.h"

#include <cstdint>

namespace folio::base {
namespace {

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

}  // namespace

Utf8Character DecodeUtf8Character(const unsigned char* bytes, std::size_t count) noexcept {
  if (count == 0) return {kReplacementCharacter, 0};
  const unsigned char lead = bytes[0];
  if (lead < 0x80) return {lead, 1};
  // Sequence length and the smallest code point it may encode (rejects
  // overlong forms); bytes C0, C1 and F5-FF never begin a sequence.
  std::size_t length = 0;
  char32_t codePoint = 0;
  char32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, codePoint = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, codePoint = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, codePoint = lead & 0x07, minimum = 0x10000;
  }
  std::size_t taken = 1;
  while (length && taken < length && taken < count && IsContinuation(bytes[taken])) {
    codePoint = (codePoint << 6) | (bytes[taken] & 0x3F);
    ++taken;
  }
  const bool valid = length && taken == length && codePoint >= minimum && codePoint <= 0x10FFFF &&
                     !(codePoint >= 0xD800 && codePoint <= 0xDFFF);
  return {valid ? codePoint : kReplacementCharacter, taken};
}

std::size_t EncodeUtf16(char32_t codePoint, char16_t* units) noexcept {
  if (codePoint < 0x10000) {
    units[0] = static_cast<char16_t>(codePoint);
    return 1;
  }
  codePoint -= 0x10000;
  units[0] = static_cast<char16_t>(0xD800 + (codePoint >> 10));
  units[1] = static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
  return 2;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const Utf8Character character = DecodeUtf8Character(bytes + i, utf8.size() - i);
    char16_t units[2];
    out.append(units, EncodeUtf16(character.codePoint, units));
    i += character.length;
  }
  return out;
}

Utf16Character DecodeUtf16Character(std::u16string_view text, std::size_t at) noexcept {
  const char32_t unit = text[at];
  if (unit < 0xD800 || unit > 0xDFFF) return {unit, 1};
  if (unit <= 0xDBFF && at + 1 < text.size() && text[at + 1] >= 0xDC00 && text[at + 1] <= 0xDFFF)
    return {0x10000 + ((unit - 0xD800) << 10) + (text[at + 1] - 0xDC00), 2};
  return {kReplacementCharacter, 1};
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size();) {
    const Utf16Character character = DecodeUtf16Character(utf16, i);
    const char32_t codePoint = character.codePoint;
    i += character.length;
    if (codePoint < 0x80) {
      out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
      out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
      out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
      out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
  }
  return out;
}

}  // namespace folio::base
