// A text file as a forward-only stream of UTF-16 lines.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "text/text_encoding.h"

namespace folio::platform {
class AnsiTextDecoder;
}

namespace folio::text {

class ByteSource;

// A delivered line holds at most 1023 units and a terminating zero unit; the
// line feed that ends a line stays in it.
inline constexpr std::size_t kLineBufferUnits = 1024;
using LineBuffer = std::array<char16_t, kLineBufferUnits>;

// Owned through OpenedText; its destructor closes the file.
class TextStream {
 public:
  virtual ~TextStream() = default;

 protected:
  TextStream() = default;

 private:
  friend bool ReadTextLine(TextStream& stream, LineBuffer& line);
  virtual bool ReadLine(LineBuffer& line) = 0;
};

struct OpenedText {
  std::unique_ptr<TextStream> stream;  // null when the file can't be opened for reading
  TextEncoding encoding = TextEncoding::Ansi;
};

// Opens a text file, detects its encoding and stands at the start of its text.
// Memory stays bounded whatever the file's size.
OpenedText OpenTextStream(std::u16string_view path);

// The same over bytes in memory, as if they were a file's (tests, fuzzing).
OpenedText OpenTextStreamOverBytes(std::string bytes);
// The same over any source of bytes, with ANSI-coded text decoded by
// `ansiDecoder` (null: bytes 00-7F as ASCII, the rest as U+FFFD).
OpenedText OpenTextStreamOver(std::unique_ptr<ByteSource> source,
                              std::unique_ptr<platform::AnsiTextDecoder> ansiDecoder);

// Next line into `line`; false at the end of the data, with `line` untouched.
bool ReadTextLine(TextStream& stream, LineBuffer& line);

// Turns a line of a big-endian stream, whose units arrive byte-swapped, back
// into text: every unit before the terminating zero is swapped.
void RepairBigEndianLine(LineBuffer& line);

void CloseTextStream(std::unique_ptr<TextStream> stream);

}  // namespace folio::text
