// The lines that the measuring and drawing passes read: a text stream's in
// the entry points, a test's own elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "text/aozora_notation.h"
#include "text/text_stream.h"

namespace folio::render {

// Where the notation reader stands before a line, so that reading can
// resume there; nothing when the text is read without notation.
using NotationState = std::optional<text::AozoraLineState>;

class LineSource {
 public:
  virtual ~LineSource() = default;
  // Next line into `line`, as ReadTextLine delivers it; false at the end.
  virtual bool ReadLine(text::TextLine& line) = 0;
  // The line `ahead` lines after the one that ReadLine gives next (0: that
  // one), read but not yet handed out; null at the end of the text, and from
  // sources that can't read ahead.
  virtual const text::TextLine* Peek(std::size_t /*ahead*/) { return nullptr; }
  // The measuring pass found that the line read last, `lineNumber`, begins a
  // page, with the notation reader at `notation` before it.
  virtual void PageBeginsAtLastLine(std::int32_t /*lineNumber*/, const NotationState& /*notation*/) {}
};

class TextStreamLines final : public LineSource {
 public:
  explicit TextStreamLines(text::TextStream& stream) : stream_(stream) {}
  bool ReadLine(text::TextLine& line) override { return text::ReadTextLine(stream_, line); }

 private:
  text::TextStream& stream_;
};

}  // namespace folio::render
