#include "plugin/member_name.h"

#include <cstdio>

#include "base/unicode.h"
#include "platform/path_names.h"

namespace folio::plugin {
namespace {

bool IsDigit(char16_t unit) {
  return unit >= u'0' && unit <= u'9';
}

// A decimal number with an optional leading minus sign at the start of
// `text`, consumed from it; nothing when there is none or it leaves 32 bits.
std::optional<std::int32_t> TakeNumber(std::u16string_view& text) {
  std::size_t position = 0;
  const bool negative = !text.empty() && text[0] == u'-';
  if (negative) ++position;
  const std::size_t firstDigit = position;
  std::int64_t value = 0;
  for (; position < text.size() && IsDigit(text[position]); ++position) {
    value = value * 10 + (text[position] - u'0');
    if (value > std::int64_t{1} << 31) return std::nullopt;
  }
  if (position == firstDigit) return std::nullopt;
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  text.remove_prefix(position);
  return static_cast<std::int32_t>(value);
}

bool TakePrefix(std::u16string_view& text, std::u16string_view prefix) {
  if (!text.starts_with(prefix)) return false;
  text.remove_prefix(prefix.size());
  return true;
}

}  // namespace

std::u16string MemberStem(std::u16string_view textPath) {
  const std::u16string_view fileName = platform::FileNamePart(textPath);
  std::u16string_view stem = fileName.substr(0, fileName.size() - platform::ExtensionOf(fileName).size());
  if (stem.size() > kMaxStemUnits) {
    stem = stem.substr(0, kMaxStemUnits);
    if (base::IsHighSurrogate(stem.back())) stem.remove_suffix(1);  // keep pairs whole
  }
  return std::u16string(stem);
}

std::u16string FormatMemberName(std::u16string_view stem, std::int32_t firstLine, std::int32_t lastLine) {
  char numbers[32];
  const int length = std::snprintf(numbers, sizeof numbers, "%03d-%03d.bmp", static_cast<int>(firstLine),
                                   static_cast<int>(lastLine));
  std::u16string name(stem);
  name.append(numbers, numbers + length);
  return name;
}

std::optional<render::LineRange> LineRangeFromMemberName(std::u16string_view textPath,
                                                         std::u16string_view memberName) {
  // The stem is skipped by its length, not compared: a host may name the text
  // in another letter case than the listing did.
  const std::size_t stemUnits = MemberStem(textPath).size();
  if (memberName.size() < stemUnits) return std::nullopt;
  const std::u16string_view numbers = memberName.substr(stemUnits);
  std::u16string_view rest = numbers;
  const auto firstLine = TakeNumber(rest);
  if (!firstLine || !TakePrefix(rest, u"-")) return std::nullopt;
  const auto lastLine = TakeNumber(rest);
  if (!lastLine || rest != u".bmp") return std::nullopt;
  // Only the exact form that the page list writes names a page.
  if (FormatMemberName({}, *firstLine, *lastLine) != numbers) return std::nullopt;
  return render::LineRange{*firstLine, *lastLine};
}

}  // namespace folio::plugin
