#include "text/aozora_character_note.h"

#include <optional>

#include "base/unicode.h"
#include "text/jisx0213.h"

namespace folio::text {
namespace {

constexpr char16_t kFieldSeparator = u'、';

// What follows the note's description: a description in 「」 may hold 、
// and quotes of its own.
std::u16string_view FieldsAfterDescription(std::u16string_view note) {
  if (!note.starts_with(u'「')) return note;
  int depth = 0;
  for (std::size_t at = 0; at < note.size(); ++at) {
    if (note[at] == u'「') {
      ++depth;
    } else if (note[at] == u'」' && --depth == 0) {
      return note.substr(at + 1);
    }
  }
  return {};
}

// A digit's value in base 10 or 16, or -1.
int DigitValue(char16_t unit, int base) {
  if (unit >= u'0' && unit <= u'9') return unit - u'0';
  if (base == 16 && unit >= u'A' && unit <= u'F') return unit - u'A' + 10;
  if (base == 16 && unit >= u'a' && unit <= u'f') return unit - u'a' + 10;
  return -1;
}

// A number of `minDigits` to `maxDigits` digits taken from the front of `text`.
std::optional<char32_t> TakeNumber(std::u16string_view& text, int base, std::size_t minDigits,
                                   std::size_t maxDigits) {
  char32_t value = 0;
  std::size_t digits = 0;
  for (; digits < maxDigits && digits < text.size(); ++digits) {
    const int digit = DigitValue(text[digits], base);
    if (digit < 0) break;
    value = value * base + static_cast<char32_t>(digit);
  }
  if (digits < minDigits) return std::nullopt;
  text.remove_prefix(digits);
  return value;
}

bool IsDrawable(char32_t codePoint) {
  const bool control = codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
  const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
  return !control && !surrogate && codePoint <= 0x10FFFF;
}

// "U+546D": four to six hex digits.
std::optional<char32_t> UnicodeField(std::u16string_view field) {
  if (!field.starts_with(u"U+")) return std::nullopt;
  field.remove_prefix(2);
  const std::optional<char32_t> codePoint = TakeNumber(field, 16, 4, 6);
  if (!codePoint || !field.empty() || !IsDrawable(*codePoint)) return std::nullopt;
  return codePoint;
}

// "第4水準2-78-78" or "1-8-75".
JisX0213Character JisField(std::u16string_view field) {
  if (field.starts_with(u"第3水準") || field.starts_with(u"第4水準")) field.remove_prefix(4);
  const std::optional<char32_t> plane = TakeNumber(field, 10, 1, 1);
  if (!plane || !field.starts_with(u'-')) return {};
  field.remove_prefix(1);
  const std::optional<char32_t> row = TakeNumber(field, 10, 1, 2);
  if (!row || !field.starts_with(u'-')) return {};
  field.remove_prefix(1);
  const std::optional<char32_t> cell = TakeNumber(field, 10, 1, 2);
  if (!cell || !field.empty()) return {};
  return JisX0213CharacterAt(static_cast<int>(*plane), static_cast<int>(*row), static_cast<int>(*cell));
}

}  // namespace

NamedCharacter CharacterNamedByNote(std::u16string_view note) noexcept {
  std::optional<char32_t> unicode;
  JisX0213Character jis;
  std::u16string_view fields = FieldsAfterDescription(note);
  while (!fields.empty() && !unicode) {
    const std::size_t end = fields.find(kFieldSeparator);
    const std::u16string_view field = fields.substr(0, end);
    unicode = UnicodeField(field);
    if (!jis.first) jis = JisField(field);
    fields.remove_prefix(end == std::u16string_view::npos ? fields.size() : end + 1);
  }
  NamedCharacter named;
  if (unicode) {
    named.size = base::EncodeUtf16(*unicode, named.units);
  } else if (jis.first) {
    named.size = base::EncodeUtf16(jis.first, named.units);
    if (jis.second) named.size += base::EncodeUtf16(jis.second, named.units + named.size);
  }
  return named;
}

}  // namespace folio::text
