// The process's environment variables, as the platform keeps them (on
// Windows, the process's own block, which SetEnvironmentVariableW changes).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace folio::platform {

// The variable's value; none when it is unset.
std::optional<std::u16string> EnvironmentValue(std::string_view name);

}  // namespace folio::platform
