// Texts far larger than memory budgets, read once through.  Disabled by
// default (they write gigabytes); run them with --gtest_also_run_disabled_tests
// under /usr/bin/time -v to see the peak memory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/files.h"
#include "support/temp_folder.h"
#include "support/test_files.h"
#include "text/text_stream.h"

namespace folio::text {
namespace {

struct LineCount {
  std::uint64_t lines = 0;
  std::uint64_t units = 0;
  std::u16string last;
};

LineCount CountLines(const std::filesystem::path& path, TextEncoding expected) {
  auto file = platform::InputFile::Open(testing::WidePath(path));
  if (!file) ADD_FAILURE() << "can't open " << path;
  OpenedText opened = file ? OpenTextStream(*file) : OpenedText{};
  EXPECT_TRUE(opened.stream);
  EXPECT_EQ(opened.encoding, expected);
  LineCount count;
  TextLine line;
  while (opened.stream && ReadTextLine(*opened.stream, line)) {
    ++count.lines;
    count.units += line.visible().size();
  }
  count.last = line.visible();
  return count;
}

// 1 GiB of ASCII lines with CR LF: all of it is scanned to detect the
// encoding, then read again line by line.
TEST(LargeTextTest, DISABLED_GibibyteOfLinesInBoundedMemory) {
  testing::TempFolder folder;
  const auto path = folder / "large.txt";
  const std::string line = "A line of plain text that repeats until the file is one gibibyte long.\r\n";
  constexpr std::uint64_t kSize = std::uint64_t{1} << 30;
  const std::uint64_t lines = kSize / line.size();
  {
    std::ofstream out(path, std::ios::binary);
    std::string block;
    for (int i = 0; i < 1000; ++i) block += line;
    for (std::uint64_t i = 0; i < lines / 1000; ++i) out.write(block.data(), block.size());
    for (std::uint64_t i = 0; i < lines % 1000; ++i) out.write(line.data(), line.size());
  }
  const LineCount count = CountLines(path, TextEncoding::Ansi);
  EXPECT_EQ(count.lines, lines);
  EXPECT_EQ(count.units, lines * (line.size() - 1));  // CR LF arrives as LF
}

// A sparse file past 4 GiB, so that any 32-bit count would wrap: the zero
// bytes arrive as zero units in lines of 1023, and the text after them is
// still found where it is.
TEST(LargeTextTest, DISABLED_TextPastFourGibibytes) {
  testing::TempFolder folder;
  const auto path = folder / "sparse.txt";
  constexpr std::uint64_t kZeroLines = (std::uint64_t{4} << 30) / 1023 + 1000;
  const std::string head =
      "\xEF\xBB\xBF"
      "first\n";
  testing::WriteFile(path, head);
  std::filesystem::resize_file(path, head.size() + kZeroLines * 1023);
  {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out << "last\n";
  }
  const LineCount count = CountLines(path, TextEncoding::Utf8);
  EXPECT_EQ(count.lines, 1 + kZeroLines + 1);
  EXPECT_EQ(count.last, u"last\n");
}

}  // namespace
}  // namespace folio::text
