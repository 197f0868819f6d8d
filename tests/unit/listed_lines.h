// Lines handed to the measuring and drawing passes from a list, as the line
// reader would deliver them.
#pragma once

#include <string>
#include <vector>

#include "render/line_source.h"

namespace folio::render {

class ListedLines final : public LineSource {
 public:
  explicit ListedLines(std::vector<std::u16string> lines) : lines_(std::move(lines)) {}
  bool ReadLine(text::TextLine& line) override {
    if (next_ == lines_.size()) return false;
    line.Assign(lines_[next_++]);
    return true;
  }

 private:
  std::vector<std::u16string> lines_;
  std::size_t next_ = 0;
};

}  // namespace folio::render
