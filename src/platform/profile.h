// INI ("private profile") reading.  Windows: the private-profile functions.
// Elsewhere: a reader of the same rules (case-insensitive section and key
// names, first match wins, blanks around names and values trimmed, integers
// parsed as GetPrivateProfileIntW parses them).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace folio::platform {

int ReadProfileInt(std::u16string_view section, std::u16string_view key, int defaultValue,
                   std::u16string_view iniPath);

// At most `capacity` - 1 characters, as a buffer of `capacity` holds them.
std::u16string ReadProfileString(std::u16string_view section, std::u16string_view key,
                                 std::u16string_view defaultValue, std::u16string_view iniPath,
                                 std::size_t capacity);

// The value's bytes as the ANSI profile function reads them (at most
// `capacity` - 1 bytes), decoded as UTF-8.  The names and path reach the ANSI
// function through the thread's ANSI code page, as on Windows.
std::u16string ReadProfileUtf8String(std::u16string_view section, std::u16string_view key,
                                     std::u16string_view defaultValue, std::u16string_view iniPath,
                                     std::size_t capacity);

}  // namespace folio::platform
