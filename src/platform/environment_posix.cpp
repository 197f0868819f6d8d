#include <cstdlib>

#include "base/unicode.h"
#include "platform/environment.h"

namespace folio::platform {

std::optional<std::u16string> EnvironmentValue(std::string_view name) {
  const char* value = std::getenv(std::string(name).c_str());
  if (value == nullptr) return std::nullopt;
  return base::Utf8ToUtf16(value);
}

}  // namespace folio::platform
