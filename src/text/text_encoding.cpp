#include "text/text_encoding.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

namespace folio::text {
namespace {

bool InRange(std::uint8_t byte, std::uint8_t low, std::uint8_t high) {
  return byte >= low && byte <= high;
}

bool IsContinuation(std::uint8_t byte) {
  return InRange(byte, 0x80, 0xBF);
}

bool IsDoubleByteLead(std::uint8_t byte) {
  return InRange(byte, 0x81, 0x9F) || InRange(byte, 0xE0, 0xFC);
}

bool IsDoubleByteTrail(std::uint8_t byte) {
  return InRange(byte, 0x40, 0x7E) || InRange(byte, 0x80, 0xFC);
}

// Both passes add 1 for each byte 00-7F; in text that is mostly ASCII such
// runs are most of the work, so long ones are measured eight bytes at a time.
// The first byte is known to be one of them.
std::size_t AsciiRunLength(const std::uint8_t* bytes, std::size_t limit) {
  std::size_t length = 1;
  while (length < limit && bytes[length] < 0x80) {
    ++length;
    for (std::uint64_t word; length + 8 <= limit; length += 8) {
      std::memcpy(&word, bytes + length, 8);
      if (word & 0x8080808080808080u) break;
    }
  }
  return length;
}

}  // namespace

std::size_t EncodingDetector::Scan(const std::uint8_t* bytes, std::size_t count, bool final) noexcept {
  if (!started_) {
    if (count < 3 && !final) return 0;
    started_ = true;
    CheckByteOrderMark(bytes, count);
  }
  if (decided()) return count;
  if (!highByteSeen_) {
    highByteSeen_ = std::any_of(bytes, bytes + count, [](std::uint8_t byte) { return byte > 0x7E; });
  }
  const std::size_t utf8End = ScanUtf8(bytes, count, final);
  const std::size_t doubleByteEnd = ScanDoubleByte(bytes, count, final);
  const std::size_t finished = std::min(utf8End, doubleByteEnd);
  utf8Position_ = utf8End - finished;
  doubleBytePosition_ = doubleByteEnd - finished;
  return finished;
}

TextEncoding EncodingDetector::result() const noexcept {
  if (markSeen_) return markEncoding_;
  if (!highByteSeen_) return TextEncoding::Ansi;
  // A tie, both passes disqualified included, goes to UTF-8.
  return doubleByteScore_ > utf8Score_ ? TextEncoding::Ansi : TextEncoding::Utf8;
}

void EncodingDetector::CheckByteOrderMark(const std::uint8_t* bytes, std::size_t count) noexcept {
  auto startsWith = [&](std::initializer_list<std::uint8_t> mark) {
    return count >= mark.size() && std::equal(mark.begin(), mark.end(), bytes);
  };
  if (startsWith({0xFF, 0xFE})) {
    markEncoding_ = TextEncoding::Utf16LE;
  } else if (startsWith({0xFE, 0xFF})) {
    markEncoding_ = TextEncoding::Utf16BE;
  } else if (startsWith({0xEF, 0xBB, 0xBF})) {
    markEncoding_ = TextEncoding::Utf8;
  } else {
    return;
  }
  markSeen_ = true;
}

// Each pass returns where it stops: before the first position that needs
// bytes not yet given, or at `count` once the pass has ended.  Positions near
// the end of the data are judged only when `final` says where that end is.
// Scores are kept in locals while a pass runs, away from the byte loads.
std::size_t EncodingDetector::ScanUtf8(const std::uint8_t* bytes, std::size_t count, bool final) noexcept {
  if (utf8Score_ < 0) return count;
  std::int64_t score = utf8Score_;
  std::size_t j = utf8Position_;
  const std::size_t limit = final ? count : count - std::min<std::size_t>(count, 3);
  while (j < limit) {
    const std::uint8_t byte = bytes[j];
    const std::size_t left = count - j;  // from j to the end, j included
    if (byte == 0xA0 || byte == 0xFF) {
      j += 1;
    } else if (byte <= 0x7F) {
      const std::size_t run = AsciiRunLength(bytes + j, limit - j);
      score += static_cast<std::int64_t>(run), j += run;
    } else if (left > 3 && (byte < 0xC0 || byte > 0xF7)) {
      j += 1;  // begins no sequence, and stands clear of the end
    } else if (left <= 1) {
      j += 1;
    } else if (InRange(byte, 0xC0, 0xDF) && IsContinuation(bytes[j + 1])) {
      score += 2, j += 2;
    } else if (left <= 2) {
      j += 1;
    } else if (InRange(byte, 0xE0, 0xEF) && IsContinuation(bytes[j + 1]) && IsContinuation(bytes[j + 2])) {
      score += 3, j += 3;
    } else if (left <= 3) {
      // A sequence cut off three bytes before the end disqualifies the text.
      utf8Score_ = -1;
      return count;
    } else if (InRange(byte, 0xF0, 0xF7) && IsContinuation(bytes[j + 1]) && IsContinuation(bytes[j + 2]) &&
               IsContinuation(bytes[j + 3])) {
      score += 4, j += 4;
    } else {
      j += 1;
    }
  }
  utf8Score_ = score;
  return j;
}

std::size_t EncodingDetector::ScanDoubleByte(const std::uint8_t* bytes, std::size_t count, bool final) noexcept {
  if (doubleByteScore_ < 0) return count;
  std::int64_t score = doubleByteScore_;
  std::size_t k = doubleBytePosition_;
  const std::size_t limit = final ? count : count - std::min<std::size_t>(count, 1);
  while (k < limit) {
    const std::uint8_t byte = bytes[k];
    if (byte == 0xA0 || byte == 0xFF) {
      k += 1;
    } else if (byte <= 0x7F) {
      const std::size_t run = AsciiRunLength(bytes + k, limit - k);
      score += static_cast<std::int64_t>(run), k += run;
    } else if (InRange(byte, 0xA1, 0xDF)) {
      score += 1, k += 1;
    } else if (k + 1 == count) {
      k += 1;
    } else if (IsDoubleByteLead(byte) && IsDoubleByteTrail(bytes[k + 1])) {
      score += 2, k += 2;
    } else {
      doubleByteScore_ = -1;
      return count;
    }
  }
  doubleByteScore_ = score;
  return k;
}

}  // namespace folio::text
