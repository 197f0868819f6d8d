// The JSON form of a listing, for scripts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "page_listing.h"

namespace folio::cli {

// A JSON string literal, quotes included, for UTF-8 text.
std::string JsonString(std::string_view utf8);
std::string ListingJson(std::string_view textFile, const std::vector<Page>& pages);

}  // namespace folio::cli
