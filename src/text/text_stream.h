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

// A file line longer than this is delivered as several lines.
inline constexpr std::size_t kMaxLineUnits = 1023;

// One line as the reader delivers it: at most kMaxLineUnits units, the line
// feed that ends it kept.  Line numbers count these lines.
class TextLine {
 public:
  std::u16string_view units() const noexcept { return {units_.data(), length_}; }
  // What of the line is laid out and drawn: its units up to the first U+0000.
  // A zero unit ends what is seen of a line, as it ends a C string; the line
  // is still read and counted whole.
  std::u16string_view visible() const noexcept {
    const std::u16string_view all = units();
    return all.substr(0, all.find(u'\0'));
  }

  // For whoever fills the line: the reader, or a test's own lines.
  using Storage = std::array<char16_t, kMaxLineUnits>;
  Storage& storage() noexcept { return units_; }
  void SetLength(std::size_t length) noexcept { length_ = length < kMaxLineUnits ? length : kMaxLineUnits; }
  void Assign(std::u16string_view text) noexcept {
    SetLength(text.size());
    text.copy(units_.data(), length_);
  }

 private:
  Storage units_;
  std::size_t length_ = 0;
};

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

// The text in UTF-16, whatever its encoding: big-endian units arrive in the
// right byte order.  Owned through OpenedText.
class TextStream {
 public:
  virtual ~TextStream() = default;

 protected:
  TextStream() = default;

 private:
  friend bool ReadTextLine(TextStream& stream, TextLine& line);
  friend LineStart NextLineStart(const TextStream& stream);
  friend LineSplitting SplittingOf(const TextStream& stream);
  virtual bool ReadLine(TextLine& line) = 0;
  virtual LineStart NextLineStart() const = 0;
  virtual LineSplitting Splitting() const = 0;
};

struct OpenedText {
  std::unique_ptr<TextStream> stream;  // null when the file can't be opened for reading
  TextEncoding encoding = TextEncoding::Ansi;
};

// Detects the encoding of an open text file and stands at the start of its
// text; the stream reads the file, which must outlive it.  Memory stays
// bounded whatever the file's size.
OpenedText OpenTextStream(platform::InputFile& file);
// The same over any source of bytes (a file's, hashed as they are read, say).
OpenedText OpenTextStream(std::unique_ptr<ByteSource> source);

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
OpenedText ResumeTextStream(platform::InputFile& file, const LineSplitting& splitting, const LineStart& start);
// The same over any source of bytes, decoded as by OpenTextStreamOver.
OpenedText ResumeTextStreamOver(std::unique_ptr<ByteSource> source,
                                std::unique_ptr<platform::AnsiTextDecoder> ansiDecoder,
                                const LineSplitting& splitting, const LineStart& start);

// Next line into `line`; false at the end of the data, with `line` untouched.
bool ReadTextLine(TextStream& stream, TextLine& line);
// Where the line that ReadTextLine delivers next begins.
LineStart NextLineStart(const TextStream& stream);
LineSplitting SplittingOf(const TextStream& stream);

}  // namespace folio::text
