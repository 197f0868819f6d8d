// Lines handed to the measuring and drawing passes from a list, as the line
// reader would deliver them.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "render/line_source.h"

namespace folio::render {

class ListedLines final : public LineSource {
 public:
  explicit ListedLines(std::vector<std::u16string> lines) : lines_(std::move(lines)) {}
  bool ReadLine(text::LineBuffer& line) override {
    if (next_ == lines_.size()) return false;
    const std::u16string& text = lines_[next_++];
    std::copy(text.begin(), text.end(), line.begin());
    line[text.size()] = u'\0';
    return true;
  }

 private:
  std::vector<std::u16string> lines_;
  std::size_t next_ = 0;
};

}  // namespace folio::render
