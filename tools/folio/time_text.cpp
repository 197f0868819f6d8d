#include "time_text.h"

#include <ctime>

namespace folio::cli {
namespace {

// A time the C library can't express (before 1970 on Windows, say) shows as its number.
std::string Format(std::int64_t seconds, bool local, const char* format) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  const std::tm* parts = local ? std::localtime(&time) : std::gmtime(&time);
  char text[64];
  if (!parts || std::strftime(text, sizeof text, format, parts) == 0) return std::to_string(seconds);
  return text;
}

}  // namespace

std::string LocalDateText(std::int64_t seconds) {
  return Format(seconds, true, "%Y-%m-%d %H:%M");
}

std::string UtcDateText(std::int64_t seconds) {
  return Format(seconds, false, "%Y-%m-%dT%H:%M:%SZ");
}

}  // namespace folio::cli
