// The lines that the measuring and drawing passes read: a text stream's in
// the entry points, a test's own elsewhere.
#pragma once

#include <cstdint>

#include "text/text_stream.h"

namespace folio::render {

class LineSource {
 public:
  virtual ~LineSource() = default;
  // Next line into `line`, as ReadTextLine delivers it; false at the end.
  virtual bool ReadLine(text::TextLine& line) = 0;
  // The measuring pass found that the line read last, `lineNumber`, begins a page.
  virtual void PageBeginsAtLastLine(std::int32_t /*lineNumber*/) {}
};

class TextStreamLines final : public LineSource {
 public:
  explicit TextStreamLines(text::TextStream& stream) : stream_(stream) {}
  bool ReadLine(text::TextLine& line) override { return text::ReadTextLine(stream_, line); }

 private:
  text::TextStream& stream_;
};

}  // namespace folio::render
