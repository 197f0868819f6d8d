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
class InputFile;
}  // namespace folio::platform

namespace folio::text {

class ByteSource;

// A delivered line holds at most 1023 units and a terminating zero unit; the
// line feed that ends a line stays in it.
inline constexpr std::size_t kLineBufferUnits = 1024;
using LineBuffer = std::array<char16_t, kLineBufferUnits>;

// Where a line begins: reading resumed there delivers the lines that
// reading on from the start would.
struct LineStart {
  std::uint64_t byteOffset = 0;  // in the file
  char16_t carriedUnit = 0;      // the second half of a surrogate pair cut off the line before, or 0
};

// What, besides the bytes, decides where a stream's lines begin: the
// encoding, and for ANSI-coded text the lead bytes of the code page.
struct LineSplitting {
  TextEncoding encoding = TextEncoding::Ansi;
  std::array<bool, 256> ansiLeadBytes{};
  friend bool operator==(const LineSplitting&, const LineSplitting&) = default;
};

// Owned through OpenedText; its destructor closes the file.
class TextStream {
 public:
  virtual ~TextStream() = default;

 protected:
  TextStream() = default;

 private:
  friend bool ReadTextLine(TextStream& stream, LineBuffer& line);
  friend LineStart NextLineStart(const TextStream& stream);
  friend LineSplitting SplittingOf(const TextStream& stream);
  virtual bool ReadLine(LineBuffer& line) = 0;
  virtual LineStart NextLineStart() const = 0;
  virtual LineSplitting Splitting() const = 0;
};

struct OpenedText {
  std::unique_ptr<TextStream> stream;  // null when the file can't be opened for reading
  TextEncoding encoding = TextEncoding::Ansi;
};

// Opens a text file, detects its encoding and stands at the start of its text.
// Memory stays bounded whatever the file's size.
OpenedText OpenTextStream(std::u16string_view path);
OpenedText OpenTextStream(platform::InputFile file);

// The same over bytes in memory, as if they were a file's (tests, fuzzing).
OpenedText OpenTextStreamOverBytes(std::string bytes);
// The same over any source of bytes, with ANSI-coded text decoded by
// `ansiDecoder` (null: bytes 00-7F as ASCII, the rest as U+FFFD).
OpenedText OpenTextStreamOver(std::unique_ptr<ByteSource> source,
                              std::unique_ptr<platform::AnsiTextDecoder> ansiDecoder);

// Reads `file` on from `start`, a line start that a stream of the same bytes
// reported under `splitting`, without detecting the encoding again.  A null
// stream when this file can't be read that way: it can't be positioned
// there, or the ANSI code page now has other lead bytes.
OpenedText ResumeTextStream(platform::InputFile file, const LineSplitting& splitting, const LineStart& start);
// The same over any source of bytes, decoded as by OpenTextStreamOver.
OpenedText ResumeTextStreamOver(std::unique_ptr<ByteSource> source,
                                std::unique_ptr<platform::AnsiTextDecoder> ansiDecoder,
                                const LineSplitting& splitting, const LineStart& start);

// Next line into `line`; false at the end of the data, with `line` untouched.
bool ReadTextLine(TextStream& stream, LineBuffer& line);
// Where the line that ReadTextLine delivers next begins.
LineStart NextLineStart(const TextStream& stream);
LineSplitting SplittingOf(const TextStream& stream);

// Turns a line of a big-endian stream, whose units arrive byte-swapped, back
// into text: every unit before the terminating zero is swapped.
void RepairBigEndianLine(LineBuffer& line);

void CloseTextStream(std::unique_ptr<TextStream> stream);

}  // namespace folio::text
