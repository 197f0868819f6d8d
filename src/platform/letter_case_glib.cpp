// Letter case through GLib's Unicode tables (GLib comes with Pango).
#include <glib.h>

#include "base/unicode.h"
#include "platform/letter_case.h"

namespace folio::platform {

std::u16string LowerCase(std::u16string_view text) {
  std::u16string lowered;
  lowered.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t codePoint = text[i];
    const bool pair =
        base::IsHighSurrogate(text[i]) && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    if (pair) codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (text[++i] - 0xDC00);
    // Lone surrogates stay as they are.
    const char32_t lower = (codePoint >= 0xD800 && codePoint <= 0xDFFF) ? codePoint : g_unichar_tolower(codePoint);
    char16_t units[2];
    lowered.append(units, base::EncodeUtf16(lower, units));
  }
  return lowered;
}

bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
  return LowerCase(a) == LowerCase(b);
}

bool SamePath(std::u16string_view a, std::u16string_view b) {
  return a == b;
}

}  // namespace folio::platform
