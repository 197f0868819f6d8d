#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "text/text_encoding.h"
#include "text/text_stream.h"

namespace folio::text {
namespace {

using Bytes = std::vector<std::uint8_t>;

TextEncoding Detect(const Bytes& bytes) {
  EncodingDetector detector;
  detector.Scan(bytes.data(), bytes.size(), true);
  return detector.result();
}

struct DetectionCase {
  Bytes bytes;
  TextEncoding expected;
};

TEST(DetectTextEncodingTest, ScoresDecideAsDocumented) {
  const auto kLE = TextEncoding::Utf16LE, kBE = TextEncoding::Utf16BE, kUtf8 = TextEncoding::Utf8,
             kAnsi = TextEncoding::Ansi;
  const DetectionCase cases[] = {
      {{}, kAnsi},
      {{0x41, 0x42}, kAnsi},
      {{0x41, 0x7F}, kUtf8},  // 7F starts the scoring: U 2, S 2
      {{0xFF}, kUtf8},        // U 0, S 0
      {{0xFF, 0xFE}, kLE},
      {{0xFF, 0xFE, 0x80, 0x80, 0x80}, kLE},
      {{0xFE, 0xFF, 0x41}, kBE},
      {{0xEF, 0xBB, 0xBF, 0x82, 0xA0, 0xFF}, kUtf8},        // the mark wins over bytes that are not UTF-8
      {{0x82, 0xA0}, kAnsi},                                // U 0, S 2
      {{0xE3, 0x81, 0x82}, kUtf8},                          // U 3, S 2
      {{0xE3, 0x81, 0x93, 0xE3, 0x82, 0x93}, kUtf8},        // U 6, S 6: ties go to UTF-8
      {{0x41, 0xC3, 0xA9, 0x41}, kUtf8},                    // U 4, S 4
      {{0x82, 0xB1, 0x82, 0xF1, 0x0A}, kAnsi},              // 82 third from the end: U -1; S 5
      {{0xB1, 0xB2, 0xB3}, kAnsi},                          // U -1, S 3
      {{0x63, 0x61, 0x66, 0xE9, 0x0A}, kUtf8},              // E9 second from the end is ignored: U 4; S -1
      {{0x63, 0x61, 0x66, 0xE9, 0x73, 0x0A}, kAnsi},        // E9 third from the end: U -1; S 6
      {{0x80, 0x41}, kUtf8},                                // U 1, S -1
      {{0x41, 0x41, 0x80, 0x41, 0x41}, kUtf8},              // both -1
      {{0x41, 0x00, 0x42, 0x00, 0x0A, 0x00}, kAnsi},        // UTF-16 without a mark, all bytes 00-7E
      {{0xF0, 0x9F, 0x98, 0x80, 0x41, 0x41, 0x41}, kUtf8},  // a four-byte sequence: U 7, S -1
  };
  for (const DetectionCase& c : cases) {
    EXPECT_EQ(Detect(c.bytes), c.expected) << ::testing::PrintToString(c.bytes);
  }
}

// The detector fed in pieces, as the stream feeds it, with the bytes that a
// Scan leaves over passed again at the front of the next.
TextEncoding DetectInPieces(const Bytes& bytes, std::size_t pieceSize) {
  EncodingDetector detector;
  Bytes window;
  std::size_t next = 0;
  for (;;) {
    while (next < bytes.size() && window.size() < EncodingDetector::kLookahead) {
      const std::size_t take = std::min(pieceSize, bytes.size() - next);
      window.insert(window.end(), bytes.begin() + next, bytes.begin() + next + take);
      next += take;
    }
    const bool final = next == bytes.size();
    const std::size_t finished = detector.Scan(window.data(), window.size(), final);
    window.erase(window.begin(), window.begin() + finished);
    if (final || detector.decided()) return detector.result();
  }
}

TEST(EncodingDetectorTest, PiecesGiveTheWholeTextsResult) {
  // Bytes drawn from the values that decide the passes, so that sequences
  // and end-of-data rules fall across piece borders in every way.
  const std::uint8_t alphabet[] = {0x0A, 0x41, 0x7F, 0x80, 0x81, 0x82, 0x9F, 0xA0, 0xA9,
                                   0xBF, 0xC3, 0xDF, 0xE3, 0xE9, 0xEF, 0xF0, 0xFD, 0xFF};
  std::mt19937 random(12345);
  for (int round = 0; round < 4000; ++round) {
    Bytes bytes(random() % 24);
    for (auto& byte : bytes) byte = alphabet[random() % std::size(alphabet)];
    const TextEncoding whole = Detect(bytes);
    for (std::size_t pieceSize : {1, 2, 3, 5, 7}) {
      ASSERT_EQ(DetectInPieces(bytes, pieceSize), whole)
          << ::testing::PrintToString(bytes) << " in pieces of " << pieceSize;
    }
  }
}

// Opening a text judges the bytes that a text-mode read delivers: CR LF
// folded into LF and nothing from 0x1A on.  Folding moves the end of the
// data, and the passes' end-of-data rules see the difference.
TEST(OpenTextStreamTest, DetectsOnTextModeBytes) {
  struct Case {
    std::string bytes;
    TextEncoding rawResult;
    TextEncoding opened;
  };
  const Case cases[] = {
      {"\xC3\xA0\xA9\r\n", TextEncoding::Ansi, TextEncoding::Utf8},
      {"\xC3\xA0\xA9\r\nA", TextEncoding::Utf8, TextEncoding::Ansi},
      {"A\x1A\xE9", TextEncoding::Utf8, TextEncoding::Ansi},
      {"\x1A\xE3\x81\x82", TextEncoding::Utf8, TextEncoding::Ansi},  // nothing before 0x1A: empty
  };
  for (const Case& c : cases) {
    const Bytes raw(c.bytes.begin(), c.bytes.end());
    EXPECT_EQ(Detect(raw), c.rawResult) << ::testing::PrintToString(c.bytes);
    EXPECT_EQ(OpenTextStreamOverBytes(c.bytes).encoding, c.opened) << ::testing::PrintToString(c.bytes);
  }
}

}  // namespace
}  // namespace folio::text
