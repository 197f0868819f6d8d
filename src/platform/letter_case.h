// Letter case as this platform's own functions treat it: every letter, not
// only ASCII.  Windows: CharLowerBuffW and lstrcmpiW.  Elsewhere: GLib's
// Unicode tables, which don't depend on the locale.
#pragma once

#include <string>
#include <string_view>

namespace folio::platform {

std::u16string LowerCase(std::u16string_view text);
bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b);

// Whether two paths name one file as this platform's file systems see it:
// ignoring case on Windows, exactly elsewhere.
bool SamePath(std::u16string_view a, std::u16string_view b);

}  // namespace folio::platform
