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

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char32_t codePoint = utf16[i];
    if (codePoint >= 0xD800 && codePoint <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    } else if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
      codePoint = kReplacementCharacter;
    }
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
