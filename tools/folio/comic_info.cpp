#include "comic_info.h"

namespace folio::cli {
namespace {

// Character data for an element; control characters that XML 1.0 can't hold are left out.
std::string XmlText(const std::string& utf8) {
  std::string out;
  for (const char c : utf8) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default:
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n' || c == '\r') out += c;
    }
  }
  return out;
}

std::string Element(const char* name, const std::string& text) {
  return std::string("  <") + name + ">" + XmlText(text) + "</" + name + ">\n";
}

}  // namespace

std::string ComicInfoXml(const ComicInfo& info) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
         "<ComicInfo xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
         "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n" +
         Element("Title", info.title) + Element("PageCount", std::to_string(info.pageCount)) +
         (info.rightToLeft ? Element("Manga", "YesAndRightToLeft") : "") + "</ComicInfo>\n";
}

}  // namespace folio::cli
