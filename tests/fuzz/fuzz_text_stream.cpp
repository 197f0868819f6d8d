// The text reader over arbitrary bytes.  Input: one byte of options (bits 0-2:
// the largest read, 1 to 7 bytes, so that every byte meets a read border; bit
// 3: decode ANSI-coded text in the default code page rather than as ASCII),
// then the text's bytes.  Read in small pieces, the text must be judged and
// delivered exactly as when it is read in whole chunks.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/ansi_text_decoder.h"
#include "text/byte_window.h"
#include "text/text_stream.h"

namespace {

using namespace folio::text;

OpenedText Open(const std::string& text, std::size_t largestRead, bool defaultCodePage) {
  return OpenTextStreamOver(MemoryBytes(text, largestRead),
                            defaultCodePage ? folio::platform::AnsiTextDecoder::ForDefaultCodePage() : nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t largestRead = std::max(data[0] & 7, 1);
  const bool defaultCodePage = data[0] & 8;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  OpenedText pieces = Open(text, largestRead, defaultCodePage);
  OpenedText chunks = Open(text, SIZE_MAX, defaultCodePage);
  if (!pieces.stream || !chunks.stream || pieces.encoding != chunks.encoding) __builtin_trap();

  TextLine line, whole;
  std::size_t lines = 0;
  for (;;) {
    const std::u16string before(line.units());
    const bool read = ReadTextLine(*pieces.stream, line);
    if (read != ReadTextLine(*chunks.stream, whole) || line.units() != whole.units()) __builtin_trap();
    if (!read) {
      if (line.units() != before) __builtin_trap();  // the end leaves the line as it was
      break;
    }
    // Every line holds at most 1023 units, and each takes some data.
    if (line.units().empty() || line.units().size() > kMaxLineUnits || ++lines > text.size()) __builtin_trap();
    // What is seen of a line is the line up to its first zero unit.
    if (line.units().substr(0, line.visible().size()) != line.visible()) __builtin_trap();
  }
  return 0;
}
