// Recognising a text file's encoding from its bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace folio::text {

enum class TextEncoding : std::int32_t { Utf16LE = 1, Utf16BE = 2, Utf8 = 3, Ansi = 4 };

// The same decision taken over text that arrives in pieces, so that a file of
// any size is judged in bounded memory.  Both scoring passes look at most
// three bytes ahead, and what they do near the end depends on where the data
// ends; so each Scan takes the bytes the previous one left over followed by
// new ones, and says whether the data ends after them.
class EncodingDetector {
 public:
  // Scan needs this many bytes to move on, unless the data ends sooner.
  static constexpr std::size_t kLookahead = 4;

  // Scans `bytes` (the text from the first byte not yet finished with) and
  // returns how many of them are finished with; pass the rest again at the
  // front of the next call.  `final`: no byte follows these.
  std::size_t Scan(const std::uint8_t* bytes, std::size_t count, bool final) noexcept;

  // True once no further byte can change the result.
  bool decided() const noexcept { return markSeen_ || (highByteSeen_ && doubleByteScore_ < 0); }
  // The encoding, once decided or after the final Scan.
  TextEncoding result() const noexcept;

 private:
  void CheckByteOrderMark(const std::uint8_t* bytes, std::size_t count) noexcept;
  std::size_t ScanUtf8(const std::uint8_t* bytes, std::size_t count, bool final) noexcept;
  std::size_t ScanDoubleByte(const std::uint8_t* bytes, std::size_t count, bool final) noexcept;

  bool started_ = false;
  bool markSeen_ = false;
  TextEncoding markEncoding_ = TextEncoding::Ansi;
  bool highByteSeen_ = false;
  // Scores are 64-bit so that files beyond 2 GiB can't wrap them; -1 means
  // the pass has ended and disqualified its encoding.
  std::int64_t utf8Score_ = 0;
  std::int64_t doubleByteScore_ = 0;
  // Where each pass stands, counted from the front of the next Scan's bytes.
  std::size_t utf8Position_ = 0;
  std::size_t doubleBytePosition_ = 0;
};

}  // namespace folio::text
