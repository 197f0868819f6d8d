#include "wide_text.h"

#include "base/unicode.h"

namespace folio::cli {

WideText ToWide(std::string_view utf8) {
  const std::u16string units = base::Utf8ToUtf16(utf8);
  return WideText(units.begin(), units.end());
}

std::string ToUtf8(const SusieWideChar* text) {
  const WideText wide(text);
  return base::Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(base::Utf8ToUtf16(utf8));
}

std::string PathToUtf8(const std::filesystem::path& path) {
  return base::Utf16ToUtf8(path.u16string());
}

WideText PathToWide(const std::filesystem::path& path) {
  const std::u16string units = path.u16string();
  return WideText(units.begin(), units.end());
}

}  // namespace folio::cli
