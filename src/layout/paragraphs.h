// The paragraphs of a page's text: the runs between line feeds, a carriage
// return before a line feed belonging to the separator, as both engines
// read them.  Laying out and setting in columns go paragraph by paragraph.
#pragma once

#include <cstddef>
#include <string_view>

namespace folio::layout {

struct Paragraph {
  std::size_t start;  // in the text
  std::u16string_view units;
};

// Calls `visit` with each paragraph of the text, in order; stops when it
// returns false, and returns whether it never did.
template <typename Visit>
bool ForEachParagraph(std::u16string_view text, Visit visit) {
  std::size_t start = 0;
  while (true) {
    const std::size_t lineFeed = text.find(u'\n', start);
    const std::size_t end = lineFeed == std::u16string_view::npos ? text.size() : lineFeed;
    std::u16string_view units = text.substr(start, end - start);
    if (lineFeed != std::u16string_view::npos && units.ends_with(u'\r')) units.remove_suffix(1);
    if (!visit(Paragraph{start, units})) return false;
    if (lineFeed == std::u16string_view::npos) return true;
    start = lineFeed + 1;
  }
}

}  // namespace folio::layout
