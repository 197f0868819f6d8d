// The ComicInfo.xml of a comic-book archive: what readers show of a book and
// how they page through it.
#pragma once

#include <cstddef>
#include <string>

namespace folio::cli {

struct ComicInfo {
  std::string title;  // UTF-8
  std::size_t pageCount = 0;
  bool rightToLeft = false;  // pages set in vertical columns, turned as a Japanese book's
};

// The document, its elements in the order of the format's schema (a sequence:
// an element added later goes to its place there, not at the end).
std::string ComicInfoXml(const ComicInfo& info);

}  // namespace folio::cli
