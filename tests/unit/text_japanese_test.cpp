// The same Japanese text in the encodings a text file comes in, and Shift_JIS
// details that only a Shift_JIS code page can show.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/ansi_text_decoder.h"
#include "platform/files.h"
#include "support/test_files.h"
#include "text/text_stream.h"

namespace folio::text {
namespace {

const std::filesystem::path kTextData = std::filesystem::path(FOLIO_TEST_DATA_DIR) / "text";

// True when ANSI-coded text is decoded as Shift_JIS here: on Windows the
// ANSI code page is 932; elsewhere the default locale's codeset decodes it.
bool AnsiCodePageIsShiftJis() {
  const auto decoder = platform::AnsiTextDecoder::ForDefaultCodePage();
  const std::uint8_t hiraganaA[] = {0x82, 0xA0};
  char16_t unit = 0;
  return decoder && decoder->IsLeadByte(0x82) && decoder->DecodeCharacter(hiraganaA, 2, unit) && unit == u'\u3042';
}

#define SKIP_UNLESS_SHIFT_JIS()                                                                      \
  if (!AnsiCodePageIsShiftJis()) {                                                                   \
    GTEST_SKIP() << "the ANSI code page here is not Shift_JIS (under Wine, set LC_ALL=ja_JP.UTF-8)"; \
  }

struct ReadText {
  TextEncoding encoding;
  std::vector<std::u16string> lines;
};

ReadText ReadFileLines(const std::filesystem::path& path) {
  auto file = platform::InputFile::Open(testing::WidePath(path));
  if (!file) ADD_FAILURE() << "can't open " << path;
  OpenedText opened = file ? OpenTextStream(*file) : OpenedText{};
  if (!opened.stream) ADD_FAILURE() << "can't open " << path;
  ReadText text{opened.encoding, {}};
  TextLine line;
  while (opened.stream && ReadTextLine(*opened.stream, line)) {
    text.lines.emplace_back(line.visible());
  }
  return text;
}

TEST(JapaneseTextTest, EveryEncodingDeliversTheSameLines) {
  const ReadText utf8 = ReadFileLines(kTextData / "japanese_utf8.txt");
  EXPECT_EQ(utf8.encoding, TextEncoding::Utf8);
  ASSERT_EQ(utf8.lines.size(), 8u);  // the 1,113-unit line comes in two pieces
  EXPECT_EQ(utf8.lines[0].substr(0, 3), u"\u3000\u8868\u306E");
  EXPECT_EQ(utf8.lines[1].substr(0, 2), u"\u3000\u4E00");
  EXPECT_EQ(utf8.lines[2], u"\n");
  EXPECT_EQ(utf8.lines[5].size(), 1023u);
  EXPECT_EQ(utf8.lines.back().back(), u'\u308A');  // the last line has no line feed

  const ReadText utf16le = ReadFileLines(kTextData / "japanese_utf16le.txt");
  EXPECT_EQ(utf16le.encoding, TextEncoding::Utf16LE);
  EXPECT_EQ(utf16le.lines, utf8.lines);

  ReadText utf16be = ReadFileLines(kTextData / "japanese_utf16be.txt");
  EXPECT_EQ(utf16be.encoding, TextEncoding::Utf16BE);
  // The mark stays, as U+FEFF at the start of the first line.
  ASSERT_FALSE(utf16be.lines.empty());
  EXPECT_EQ(utf16be.lines[0].substr(0, 1), u"\uFEFF");
  utf16be.lines[0].erase(0, 1);
  EXPECT_EQ(utf16be.lines, utf8.lines);

  SKIP_UNLESS_SHIFT_JIS();
  const ReadText shiftJis = ReadFileLines(kTextData / "japanese_shift_jis.txt");
  EXPECT_EQ(shiftJis.encoding, TextEncoding::Ansi);
  EXPECT_EQ(shiftJis.lines, utf8.lines);
}

TEST(ShiftJisTextTest, DoubleByteCharactersAndRefusedPairs) {
  SKIP_UNLESS_SHIFT_JIS();
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::u16string> lines;
  };
  const Case cases[] = {
      // Trail bytes 5C and 7C are backslash and bar when alone.
      {"trail bytes 5C and 7C",
       "\x95\x5C\x83\x5C\x83\x7C\\|\r\n\x94\x5C",
       {u"\u8868\u30BD\u30DD\\|\n", u"\u80FD"}},
      {"half-width katakana", "\xC3\xB7\xBD\xC4\x82\xA0", {u"\uFF83\uFF77\uFF7D\uFF84\u3042"}},
      // 85 40 is laid out as a pair but unassigned: U+FFFD, then 40 alone.
      {"unassigned pair", "\x82\xA0\x85\x40\x82\xA2\n", {u"\u3042\uFFFD@\u3044\n"}},
      {"lead byte at the end", "\x82\xA0\x82\xA2\x82", {u"\u3042\u3044\uFFFD"}},
  };
  for (const Case& c : cases) {
    OpenedText opened = OpenTextStreamOverBytes(c.bytes);
    EXPECT_EQ(opened.encoding, TextEncoding::Ansi) << c.name;
    std::vector<std::u16string> lines;
    TextLine line;
    while (ReadTextLine(*opened.stream, line)) lines.emplace_back(line.visible());
    EXPECT_EQ(lines, c.lines) << c.name;
  }
}

}  // namespace
}  // namespace folio::text
