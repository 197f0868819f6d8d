#include "json_output.h"

#include <cstdio>

#include "time_text.h"

namespace folio::cli {

std::string JsonString(std::string_view utf8) {
  std::string out = "\"";
  for (const char c : utf8) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(c));
          out += escape;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string ListingJson(std::string_view textFile, const std::vector<Page>& pages) {
  std::string out = "{\n  \"file\": " + JsonString(textFile) + ",\n  \"pages\": [";
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const Page& page = pages[i];
    out += i ? ",\n    {" : "\n    {";
    out += "\"position\": " + std::to_string(page.position);
    out += ", \"name\": " + JsonString(page.name);
    out += ", \"size\": " + std::to_string(page.size);
    out += ", \"timestamp\": " + std::to_string(page.timestamp);
    out += ", \"date\": " + JsonString(UtcDateText(page.timestamp)) + "}";
  }
  out += pages.empty() ? "]\n}\n" : "\n  ]\n}\n";
  return out;
}

}  // namespace folio::cli
