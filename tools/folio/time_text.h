// Page timestamps (seconds since 1970-01-01 UTC) as dates people read.
#pragma once

#include <cstdint>
#include <string>

namespace folio::cli {

// "2024-05-01 14:03" in the local time zone.
std::string LocalDateText(std::int64_t seconds);
// "2024-05-01T12:03:00Z".
std::string UtcDateText(std::int64_t seconds);

}  // namespace folio::cli
