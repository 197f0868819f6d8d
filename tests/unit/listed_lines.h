// Lines handed to the measuring and drawing passes from a list, as the line
// reader would deliver them.
#pragma once

#include <deque>
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
  const text::TextLine* Peek(std::size_t ahead) override {
    if (next_ + ahead >= lines_.size()) return nullptr;
    peeked_.emplace_back();  // kept whole while the pass runs
    peeked_.back().Assign(lines_[next_ + ahead]);
    return &peeked_.back();
  }

 private:
  std::vector<std::u16string> lines_;
  std::size_t next_ = 0;
  std::deque<text::TextLine> peeked_;
};

}  // namespace folio::render
