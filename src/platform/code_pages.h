// Conversions between UTF-16 and the calling thread's ANSI code page, for the
// ANSI exports.  Windows: MultiByteToWideChar and WideCharToMultiByte with
// CP_THREAD_ACP.  Elsewhere: iconv with the codeset of the current C locale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace folio::platform {

// The calling thread's ANSI code page.  Bytes the code page can't decode
// become U+FFFD; characters it can't hold become '?'.
std::u16string AnsiToWide(std::string_view bytes);
std::string WideToAnsi(std::u16string_view text);

}  // namespace folio::platform
