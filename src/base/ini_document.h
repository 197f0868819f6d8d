// The INI rules of the private-profile functions, over a file's bytes: the
// reader behind profile_posix.cpp, and what the folio command reads of the
// settings it hands the plug-in; portable, so that it can be tested and
// fuzzed everywhere.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace folio::base {

// The raw value of `key` in `section`: names compared ignoring ASCII case,
// the first matching section and key win, blanks around names and values
// trimmed, one pair of matching surrounding quotes removed.  nullopt when the
// section or key is missing.
std::optional<std::string> FindIniValue(std::string_view document, std::string_view section, std::string_view key);

// The integer that GetPrivateProfileIntW makes of a value: leading blanks,
// an optional sign, "0x", "0o" or "0b" for another base, digits up to the
// first that isn't one, 32-bit wrap-around.  An empty value gives the default.
int ParseProfileInt(std::string_view value, int defaultValue);

}  // namespace folio::base
