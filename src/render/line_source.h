// The lines that the measuring and drawing passes read: a text stream's in
// the driver, a test's own elsewhere.
#pragma once

#include <string_view>

#include "text/text_encoding.h"
#include "text/text_stream.h"

namespace folio::render {

class LineSource {
 public:
  virtual ~LineSource() = default;
  // Next line into `line`, as ReadTextLine delivers it; false at the end.
  virtual bool ReadLine(text::LineBuffer& line) = 0;
};

class TextStreamLines final : public LineSource {
 public:
  explicit TextStreamLines(text::TextStream& stream) : stream_(stream) {}
  bool ReadLine(text::LineBuffer& line) override { return text::ReadTextLine(stream_, line); }

 private:
  text::TextStream& stream_;
};

// A delivered line's text: up to its first zero unit.
inline std::u16string_view LineText(const text::LineBuffer& line) {
  const std::u16string_view whole(line.data(), line.size());
  return whole.substr(0, whole.find(u'\0'));
}

// Reads the next line, repaired when the stream is big-endian.
inline bool ReadPageLine(LineSource& lines, text::TextEncoding encoding, text::LineBuffer& line) {
  if (!lines.ReadLine(line)) return false;
  if (encoding == text::TextEncoding::Utf16BE) text::RepairBigEndianLine(line);
  return true;
}

}  // namespace folio::render
