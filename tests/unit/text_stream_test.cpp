#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/ansi_text_decoder.h"
#include "platform/files.h"
#include "support/temp_folder.h"
#include "support/test_files.h"
#include "text/byte_window.h"
#include "text/text_stream.h"

namespace folio::text {
namespace {

// The file bytes of UTF-16 text in either byte order.
std::string Utf16Bytes(std::u16string_view text, bool bigEndian) {
  std::string bytes;
  for (char16_t unit : text) {
    const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

std::u16string LineText(const TextLine& line) {
  return std::u16string(line.visible());
}

// Every line until the data ends, repaired when the stream is big-endian.
std::vector<std::u16string> ReadAll(OpenedText opened) {
  std::vector<std::u16string> lines;
  TextLine line;
  while (ReadTextLine(*opened.stream, line)) {
    lines.push_back(LineText(line));
  }
  return lines;
}

// A code page shaped like EUC: lead bytes A1-FE, which the detector scores
// as single bytes, so that refused pairs can reach the reader.  A pair needs
// a trail byte A1-FE; single bytes above 7F are refused.
class FakeAnsiDecoder final : public platform::AnsiTextDecoder {
 public:
  bool IsLeadByte(std::uint8_t byte) const override { return byte >= 0xA1 && byte <= 0xFE; }
  bool DecodeCharacter(const std::uint8_t* bytes, std::size_t count, char16_t& unit) const override {
    if (count == 1 && bytes[0] < 0x80) {
      unit = bytes[0];
      return true;
    }
    if (count == 2 && bytes[1] >= 0xA1 && bytes[1] <= 0xFE) {
      unit = static_cast<char16_t>(0x4E00 + (bytes[0] - 0xA1) * 94 + (bytes[1] - 0xA1));
      return true;
    }
    return false;
  }
};

struct ReadingCase {
  const char* name;
  std::string bytes;
  TextEncoding encoding;
  std::vector<std::u16string> lines;
};

using MakeDecoder = std::function<std::unique_ptr<platform::AnsiTextDecoder>()>;

// Reads `bytes` from the start, noting where each line and the end began,
// then resumes at each of those and expects the lines that followed there.
void ExpectResumingAlike(const std::string& bytes, std::size_t largestRead, const MakeDecoder& decoder,
                         const std::string& context) {
  OpenedText opened = OpenTextStreamOver(MemoryBytes(bytes, largestRead), decoder());
  std::vector<LineStart> starts;
  std::vector<std::u16string> lines;
  TextLine line;
  for (;;) {
    starts.push_back(NextLineStart(*opened.stream));
    if (!ReadTextLine(*opened.stream, line)) break;
    lines.push_back(LineText(line));
  }
  const LineSplitting splitting = SplittingOf(*opened.stream);
  EXPECT_EQ(splitting.encoding, opened.encoding) << context;
  for (std::size_t i = 0; i < starts.size(); ++i) {
    OpenedText resumed = ResumeTextStreamOver(MemoryBytes(bytes, largestRead), decoder(), splitting, starts[i]);
    ASSERT_TRUE(resumed.stream) << context << ", line " << i;
    EXPECT_EQ(ReadAll(std::move(resumed)),
              std::vector(lines.begin() + static_cast<std::ptrdiff_t>(i), lines.end()))
        << context << ", resumed at line " << i;
  }
}

// Reads each case with sources that hand out the bytes in reads of every
// size, so that characters, CR LF pairs and marks fall on read borders; and
// resumes reading at every line start.
void ExpectLines(const ReadingCase& c, const MakeDecoder& decoder) {
  for (std::size_t largestRead : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{5}, SIZE_MAX}) {
    OpenedText opened = OpenTextStreamOver(MemoryBytes(c.bytes, largestRead), decoder());
    ASSERT_TRUE(opened.stream) << c.name;
    EXPECT_EQ(opened.encoding, c.encoding) << c.name;
    EXPECT_EQ(ReadAll(std::move(opened)), c.lines) << c.name << ", reads of " << largestRead;
    ExpectResumingAlike(c.bytes, largestRead, decoder, c.name + (", reads of " + std::to_string(largestRead)));
  }
}

void ExpectLines(const ReadingCase& c) {
  ExpectLines(c, &platform::AnsiTextDecoder::ForDefaultCodePage);
}

const std::string kUtf16LEMark = "\xFF\xFE", kUtf16BEMark = "\xFE\xFF", kUtf8Mark = "\xEF\xBB\xBF";

TEST(ReadTextLineTest, LineEndsMarksAndEndOfData) {
  const ReadingCase cases[] = {
      {"utf-16le line ends",
       kUtf16LEMark + Utf16Bytes(u"a\r\nb\rc\r\r\nd", false),
       TextEncoding::Utf16LE,
       {u"a\n", u"b\rc\r\n", u"d"}},
      {"utf-16le 0x001A ends the data",
       kUtf16LEMark + Utf16Bytes(u"ab\x1A"
                                 u"cd\n",
                                 false),
       TextEncoding::Utf16LE,
       {u"ab"}},
      {"utf-16le U+4E1A holds a 1A byte",
       kUtf16LEMark + Utf16Bytes(u"\u4E1A\u1A4E\n", false),
       TextEncoding::Utf16LE,
       {u"\u4E1A\u1A4E\n"}},
      {"utf-16le odd last byte dropped",
       kUtf16LEMark + Utf16Bytes(u"AB", false) + "C",
       TextEncoding::Utf16LE,
       {u"AB"}},
      {"utf-16le mark alone", kUtf16LEMark, TextEncoding::Utf16LE, {}},
      {"utf-8 line ends", kUtf8Mark + "a\r\nb\rc\r\r\nd", TextEncoding::Utf8, {u"a\n", u"b\rc\r\n", u"d"}},
      {"utf-8 0x1A ends the data", "\xC3\xA9\x1A\xC3\xA9\n", TextEncoding::Utf8, {u"\u00E9"}},
      {"utf-8 mark skipped once", kUtf8Mark + kUtf8Mark + "x", TextEncoding::Utf8, {u"\uFEFFx"}},
      {"utf-8 without a mark", "\xE6\x97\xA5\xE6\x9C\xAC\n", TextEncoding::Utf8, {u"\u65E5\u672C\n"}},
      {"utf-8 malformed becomes U+FFFD",
       kUtf8Mark + "\xE3\x81"
                   "A"
                   "\xC0\xAF"
                   "\xED\xA0\x80"
                   "\x80"
                   "\xF0\x9F\x98\x80"
                   "\xF4\x90\x80\x80"
                   "\xE3",
       TextEncoding::Utf8,
       {u"\uFFFDA\uFFFD\uFFFD\uFFFD\uFFFD\U0001F600\uFFFD\uFFFD"}},
      {"ansi line ends", "a\r\nb\rc\r\r\nd", TextEncoding::Ansi, {u"a\n", u"b\rc\r\n", u"d"}},
      {"ansi 0x1A ends the data",
       "ab\x1A"
       "cd\n",
       TextEncoding::Ansi,
       {u"ab"}},
      {"empty", "", TextEncoding::Ansi, {}},
      {"0x1A first",
       "\x1A"
       "abc",
       TextEncoding::Ansi,
       {}},
      {"utf-16be: mark kept, nothing folded, line feed 0A00",
       kUtf16BEMark + Utf16Bytes(u"\u3000\u4E00\r\n\u0A00\x1A"
                                 u"A\n",
                                 true),
       TextEncoding::Utf16BE,
       {u"\uFEFF\u3000\u4E00\r\n",
        u"\u0A00\x1A"
        u"A\n"}},
      {"utf-16be odd last byte dropped",
       kUtf16BEMark + Utf16Bytes(u"AB", true) + "C",
       TextEncoding::Utf16BE,
       {u"\uFEFFAB"}},
  };
  for (const ReadingCase& c : cases) ExpectLines(c);
}

TEST(ReadTextLineTest, AnsiSequencesTheCodePageRefuses) {
  const ReadingCase cases[] = {
      {"pairs", "\xA1\xA1\xA1\xA2\n", TextEncoding::Ansi, {u"\u4E00\u4E01\n"}},
      // The refused pair's first byte alone becomes U+FFFD; the line feed
      // after it still ends the line.
      {"lead byte before LF", "\xA1\xA1\xA1\nx", TextEncoding::Ansi, {u"\u4E00\uFFFD\n", u"x"}},
      {"lead byte before CR LF", "\xA1\xA1\xA1\r\nx", TextEncoding::Ansi, {u"\u4E00\uFFFD\n", u"x"}},
      {"lead byte before ASCII",
       "\xA1\xA1\xA1"
       "A\n",
       TextEncoding::Ansi,
       {u"\u4E00\uFFFDA\n"}},
      {"lead byte at the end", "A\xA1\xA1\xA1", TextEncoding::Ansi, {u"A\u4E00\uFFFD"}},
      {"lead byte before 0x1A", "A\xA1\xA1\xA1\x1A\xA1", TextEncoding::Ansi, {u"A\u4E00\uFFFD"}},
      {"refused single byte", "\xA1\xA1\xFF\n", TextEncoding::Ansi, {u"\u4E00\uFFFD\n"}},
  };
  for (const ReadingCase& c : cases) {
    ExpectLines(c, [] { return std::make_unique<FakeAnsiDecoder>(); });
  }
}

TEST(ReadTextLineTest, WithoutAnAnsiDecoderOnlyAsciiDecodes) {
  ExpectLines({"no decoder", "a\xB0\xA1\n", TextEncoding::Ansi, {u"a\uFFFD\uFFFD\n"}}, [] { return nullptr; });
}

// Viewers open texts from several threads at once; the code page's decoder
// must come without a race on anything the process shares.
TEST(ReadTextLineTest, AnsiTextOpensOnManyThreadsAtOnce) {
  const std::string bytes = "a\x82\xA0\x88\x9F\n";
  const std::vector<std::u16string> alone = ReadAll(OpenTextStreamOverBytes(bytes));
  std::vector<std::thread> readers;
  std::atomic<int> differing = 0;
  for (int reader = 0; reader < 8; ++reader) {
    readers.emplace_back([&] {
      for (int round = 0; round < 50; ++round) differing += ReadAll(OpenTextStreamOverBytes(bytes)) != alone;
    });
  }
  for (std::thread& reader : readers) reader.join();
  EXPECT_EQ(differing, 0);
}

// A file line of 2,500 units and its line feed, in every encoding.
TEST(ReadTextLineTest, LongLinesComeInPiecesOf1023Units) {
  const std::u16string text = std::u16string(2500, u'\u3042') + u"\n";
  const std::vector<std::u16string> expected = {std::u16string(1023, u'\u3042'), std::u16string(1023, u'\u3042'),
                                                std::u16string(454, u'\u3042') + u"\n"};
  const std::string utf8 = [&] {
    std::string bytes;
    for (int i = 0; i < 2500; ++i) bytes += "\xE3\x81\x82";
    return bytes + "\n";
  }();
  std::u16string markThen1022(1023, u'\u4E00');
  markThen1022[0] = u'\uFEFF';
  const ReadingCase cases[] = {
      {"utf-16le", kUtf16LEMark + Utf16Bytes(text, false), TextEncoding::Utf16LE, expected},
      {"utf-8", utf8, TextEncoding::Utf8, expected},
      {"ansi",
       std::string(2500, 'x') + "\r\n",
       TextEncoding::Ansi,
       {std::u16string(1023, u'x'), std::u16string(1023, u'x'), std::u16string(454, u'x') + u"\n"}},
      // 3,001 units with the mark and no line feed: 1023, 1023 and 955.
      {"utf-16be",
       kUtf16BEMark + Utf16Bytes(std::u16string(3000, u'\u4E00'), true),
       TextEncoding::Utf16BE,
       {markThen1022, std::u16string(1023, u'\u4E00'), std::u16string(955, u'\u4E00')}},
  };
  for (const ReadingCase& c : cases) ExpectLines(c);
}

TEST(ReadTextLineTest, SurrogatePairCutByTheLineLimitContinuesOnTheNextLine) {
  const std::string bytes = kUtf8Mark + std::string(1022, 'a') + "\xF0\x9F\x98\x80" + "b";
  ExpectLines({"split pair",
               bytes,
               TextEncoding::Utf8,
               {std::u16string(1022, u'a') + u'\xD83D', std::u16string{u'\xDE00', u'b'}}});
}

TEST(ReadTextLineTest, CrLfAndSequencesAcrossChunkBorders) {
  // Chunks are 64 KiB; move a CR LF pair and a UTF-8 sequence over the border.
  for (std::size_t at = 65530; at < 65542; ++at) {
    const std::string bytes = kUtf8Mark + std::string(at - 3, 'a') + "\r\n\xE3\x81\x82\r\n";
    OpenedText opened = OpenTextStreamOverBytes(bytes);
    std::u16string all;
    TextLine line;
    while (ReadTextLine(*opened.stream, line)) all += LineText(line);
    EXPECT_EQ(all, std::u16string(at - 3, u'a') + u"\n\u3042\n") << at;
    ExpectResumingAlike(bytes, SIZE_MAX, &platform::AnsiTextDecoder::ForDefaultCodePage, std::to_string(at));
  }
}

TEST(LineStartTest, OffsetsAreTheFilesAndTheCutPairsSecondHalfIsCarried) {
  auto startsOf = [](const std::string& bytes) {
    OpenedText opened = OpenTextStreamOverBytes(bytes);
    std::vector<std::pair<std::uint64_t, char16_t>> starts;
    TextLine line;
    do {
      const LineStart start = NextLineStart(*opened.stream);
      starts.emplace_back(start.byteOffset, start.carriedUnit);
    } while (ReadTextLine(*opened.stream, line));
    return starts;
  };
  using Starts = std::vector<std::pair<std::uint64_t, char16_t>>;
  // The mark is skipped; a folded CR LF counts two bytes.
  EXPECT_EQ(startsOf(kUtf8Mark + "a\r\nb\rc\n"), (Starts{{3, 0}, {6, 0}, {10, 0}}));
  EXPECT_EQ(startsOf(kUtf16LEMark + Utf16Bytes(u"a\r\nb", false)), (Starts{{2, 0}, {8, 0}, {10, 0}}));
  // A line cut just before a CR LF: the next line begins at the CR.
  EXPECT_EQ(startsOf(std::string(1023, 'a') + "\r\nb"), (Starts{{0, 0}, {1023, 0}, {1025, 0}, {1026, 0}}));
  const std::string cutPair = kUtf8Mark + std::string(1022, 'a') + "\xF0\x9F\x98\x80" + "b";
  EXPECT_EQ(startsOf(cutPair), (Starts{{3, 0}, {1029, 0xDE00}, {1030, 0}}));
}

TEST(LineStartTest, ResumingRefusesWhatWouldReadOtherwise) {
  const std::string bytes = "\xA1\xA1\nx\n";
  OpenedText opened = OpenTextStreamOver(MemoryBytes(bytes), std::make_unique<FakeAnsiDecoder>());
  TextLine line;
  ASSERT_TRUE(ReadTextLine(*opened.stream, line));
  const LineStart second = NextLineStart(*opened.stream);
  const LineSplitting splitting = SplittingOf(*opened.stream);
  EXPECT_TRUE(
      ResumeTextStreamOver(MemoryBytes(bytes), std::make_unique<FakeAnsiDecoder>(), splitting, second).stream);
  // Another code page could split lines elsewhere.
  EXPECT_FALSE(ResumeTextStreamOver(MemoryBytes(bytes), nullptr, splitting, second).stream);
  EXPECT_FALSE(ResumeTextStreamOver(MemoryBytes(bytes), std::make_unique<FakeAnsiDecoder>(), splitting,
                                    LineStart{bytes.size() + 1, 0})
                   .stream);
}

TEST(ReadTextLineTest, AtTheEndTheLineIsLeftAsItWas) {
  OpenedText opened = OpenTextStreamOverBytes("one\ntwo");
  TextLine line;
  ASSERT_TRUE(ReadTextLine(*opened.stream, line));
  EXPECT_EQ(LineText(line), u"one\n");
  ASSERT_TRUE(ReadTextLine(*opened.stream, line));
  EXPECT_EQ(LineText(line), u"two");
  EXPECT_FALSE(ReadTextLine(*opened.stream, line));
  EXPECT_FALSE(ReadTextLine(*opened.stream, line));
  EXPECT_EQ(line.units(), u"two");
}

TEST(ReadTextLineTest, AZeroUnitEndsWhatIsSeenOfALineButNotTheLine) {
  for (const std::string& bytes :
       {std::string("ab\0cd\nef\n", 9), "\xFE\xFF" + Utf16Bytes(std::u16string(u"ab\0cd\nef\n", 9), true)}) {
    OpenedText opened = OpenTextStreamOverBytes(bytes);
    TextLine line;
    ASSERT_TRUE(ReadTextLine(*opened.stream, line));
    const std::size_t mark = opened.encoding == TextEncoding::Utf16BE ? 1 : 0;  // U+FEFF stays
    EXPECT_EQ(line.units().substr(mark), std::u16string_view(u"ab\0cd\n", 6));
    EXPECT_EQ(line.visible().substr(mark), u"ab");
    ASSERT_TRUE(ReadTextLine(*opened.stream, line));
    EXPECT_EQ(line.visible(), u"ef\n");
  }
}

TEST(OpenTextStreamTest, ReadsFilesAndRefusesWhatCantBeOpened) {
  testing::TempFolder folder;
  testing::WriteFile(folder / "notes.txt", "\xEF\xBB\xBFline\r\n");
  auto file = platform::InputFile::Open(testing::WidePath(folder / "notes.txt"));
  ASSERT_TRUE(file);
  // The file is read from its start wherever it stands.
  unsigned char head[4];
  ASSERT_TRUE(file->Read(head, sizeof head));
  OpenedText opened = OpenTextStream(*file);
  ASSERT_TRUE(opened.stream);
  EXPECT_EQ(opened.encoding, TextEncoding::Utf8);
  EXPECT_EQ(ReadAll(std::move(opened)), std::vector<std::u16string>{u"line\n"});
  EXPECT_FALSE(platform::InputFile::Open(testing::WidePath(folder / "absent.txt")));
  EXPECT_FALSE(platform::InputFile::Open(testing::WidePath(folder.path())));
}

TEST(OpenTextStreamTest, ResumesAFileWhereItsStreamSaidALineBegins) {
  testing::TempFolder folder;
  testing::WriteFile(folder / "notes.txt", "\xFF\xFE" + Utf16Bytes(u"one\r\ntwo\r\nthree", false));
  auto file = platform::InputFile::Open(testing::WidePath(folder / "notes.txt"));
  ASSERT_TRUE(file);
  OpenedText opened = OpenTextStream(*file);
  TextLine line;
  ASSERT_TRUE(ReadTextLine(*opened.stream, line));
  const LineStart second = NextLineStart(*opened.stream);
  // The same open file serves the resumed stream.
  OpenedText resumed = ResumeTextStream(*file, SplittingOf(*opened.stream), second);
  ASSERT_TRUE(resumed.stream);
  EXPECT_EQ(resumed.encoding, TextEncoding::Utf16LE);
  EXPECT_EQ(ReadAll(std::move(resumed)), (std::vector<std::u16string>{u"two\n", u"three"}));
}

}  // namespace
}  // namespace folio::text
