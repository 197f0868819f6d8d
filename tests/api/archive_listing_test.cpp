// Listing a text file through the exports: the typical sequence of a viewer,
// the records in both forms, and the codes for input that can't be listed.
#include <chrono>
#include <cstdio>

#include "archive_fixture.h"

namespace folio::testing {
namespace {

constexpr int kDefaultBitmapFileSize = 921'654;  // 640 x 480

// ImageMagick's view of a file ("BMP 640x480"); nullopt where it isn't at hand.
std::optional<std::string> IdentifiedFormat(const std::filesystem::path& file) {
#if defined(_WIN32)
  (void)file;
  return std::nullopt;
#else
  if (std::system("identify -version >/dev/null 2>&1") != 0) return std::nullopt;
  const std::string command = "identify -format '%m %wx%h' '" + file.string() + "' 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return std::nullopt;
  std::string output;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
  pclose(pipe);
  return output;
#endif
}

std::int64_t SecondsSince1970(const std::filesystem::path& file) {
  const auto system = std::chrono::file_clock::to_sys(std::filesystem::last_write_time(file));
  return std::chrono::duration_cast<std::chrono::seconds>(system.time_since_epoch()).count();
}

// Each page begins where the one before it ended.
void ExpectContiguousPages(const std::vector<ArchiveEntryW>& entries, std::u16string_view stem, int firstLine,
                           std::optional<int> lastLine) {
  int next = firstLine;
  for (const ArchiveEntryW& entry : entries) {
    const auto range = ParseMemberName(FieldText(entry.fileName), stem);
    ASSERT_TRUE(range) << Utf8(FieldText(entry.fileName));
    EXPECT_EQ(range->firstLine, next);
    EXPECT_GE(range->lastLine, range->firstLine);
    next = range->lastLine + 1;
  }
  if (lastLine) {
    EXPECT_EQ(next - 1, *lastLine);
  }
}

struct TextCase {
  const char* label;
  Encoding encoding;
  bool japanese;
};

class TypicalSequenceTest : public ArchiveTest, public ::testing::WithParamInterface<TextCase> {};

// What a viewer does: identify the plug-in, ask about the file, list it, and
// take every page in memory and into a folder.
TEST_P(TypicalSequenceTest, ListsAndExtractsEveryPage) {
  const TextCase& c = GetParam();
  if (c.japanese) UseSettings("", "Noto Sans CJK JP");
  const auto text = WriteText("notes.txt", NumberedLines(120, c.japanese), c.encoding);
  SusieWideChar info[100];
  ASSERT_EQ(Plugin().GetPluginInfoW(0, info, 100), 4);
  const std::string head = ReadFile(text).substr(0, 8);
  EXPECT_EQ(Plugin().IsSupportedW(WidePathText(text).c_str(), const_cast<char*>(head.c_str())), 1);

  const Listing listing = ListW(text);
  ASSERT_EQ(listing.code, SUSIE_SUCCESS);
  ASSERT_GE(listing.entries.size(), 2u);
  ASSERT_LE(listing.entries.size(), 10u);
  ExpectContiguousPages(listing.entries, u"notes", 0, 119);
  for (std::size_t i = 0; i < listing.entries.size(); ++i) {
    SCOPED_TRACE(i);
    const ArchiveEntryW& entry = listing.entries[i];
    EXPECT_EQ(std::memcmp(entry.method, "text\0\0\0\0", 8), 0);
    EXPECT_EQ(entry.position, i);
    EXPECT_EQ(entry.compressedSize, static_cast<std::uintptr_t>(kDefaultBitmapFileSize));
    EXPECT_EQ(entry.fileSize, static_cast<std::uintptr_t>(kDefaultBitmapFileSize));
    EXPECT_EQ(entry.timestamp, SecondsSince1970(text));
    EXPECT_EQ(FieldText(entry.path), u"");
    EXPECT_EQ(entry.crc, 0u);

    const Page page = ExtractW(text, static_cast<intptr_t>(i));
    ASSERT_EQ(page.code, SUSIE_SUCCESS);
    EXPECT_EQ(page.bytes.size(), entry.fileSize);
    const auto shape = ReadBitmapShape(page.bytes);
    ASSERT_TRUE(shape);
    EXPECT_EQ(shape->width, 640);
    EXPECT_EQ(shape->height, 480);
    EXPECT_NE(page.bytes.find_first_not_of('\xFF', 54), std::string::npos) << "the page shows its text";

    TempFolder folder;
    ASSERT_EQ(ExtractToFolderW(text, static_cast<intptr_t>(i), folder.path()), SUSIE_SUCCESS);
    const auto written = folder / std::filesystem::path(FieldText(entry.fileName));
    EXPECT_EQ(ReadFile(written), page.bytes);
    if (const auto format = IdentifiedFormat(written)) {
      EXPECT_TRUE(format->starts_with("BMP") && format->ends_with(" 640x480")) << *format;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, TypicalSequenceTest,
                         ::testing::Values(TextCase{"EnglishUtf16LE", Encoding::Utf16LE, false},
                                           TextCase{"EnglishUtf16BE", Encoding::Utf16BE, false},
                                           TextCase{"EnglishUtf8", Encoding::Utf8, false},
                                           TextCase{"EnglishAnsi", Encoding::Ansi, false},
                                           TextCase{"JapaneseUtf16LE", Encoding::Utf16LE, true},
                                           TextCase{"JapaneseUtf16BE", Encoding::Utf16BE, true},
                                           TextCase{"JapaneseUtf8", Encoding::Utf8, true}),
                         [](const auto& info) { return std::string(info.param.label); });

using ListingTest = ArchiveTest;

TEST_F(ListingTest, PagesStopAtThePageLimit) {
  UseSettings("MaxPage=2\r\n");
  const auto text = WriteText("long.txt", NumberedLines(400));
  const Listing listing = ListW(text);
  ASSERT_EQ(listing.code, SUSIE_SUCCESS);
  ASSERT_EQ(listing.entries.size(), 2u);
  ExpectContiguousPages(listing.entries, u"long", 0, std::nullopt);
  EXPECT_LT(ParseMemberName(FieldText(listing.entries[1].fileName), u"long")->lastLine, 399);
}

TEST_F(ListingTest, SizesFollowTheSettings) {
  UseSettings("BmpWidth=101\r\nBmpHeight=10\r\n");
  const auto text = WriteText("small.txt", NumberedLines(3));
  const Listing listing = ListW(text);
  ASSERT_EQ(listing.code, SUSIE_SUCCESS);
  EXPECT_EQ(listing.entries[0].fileSize, 3'094u);
  const Page page = ExtractW(text, 0);
  EXPECT_EQ(page.bytes.size(), 3'094u);
}

TEST_F(ListingTest, AnsiRecordsCarryTheSameEntries) {
  const auto text = WriteText("story.txt", NumberedLines(120));
  const Listing wide = ListW(text);
  ASSERT_EQ(wide.code, SUSIE_SUCCESS);
  SusieHandle block = nullptr;
  ASSERT_EQ(Plugin().GetArchiveInfo(text.string().c_str(), 0, 0, &block), SUSIE_SUCCESS);
  const auto* records = static_cast<const ArchiveEntryA*>(block);
  for (std::size_t i = 0; i < wide.entries.size(); ++i) {
    SCOPED_TRACE(i);
    const ArchiveEntryA& ansi = records[i];
    EXPECT_EQ(std::memcmp(ansi.method, "text\0\0\0\0", 8), 0);
    EXPECT_EQ(ansi.position, i);
    EXPECT_EQ(ansi.compressedSize, wide.entries[i].compressedSize);
    EXPECT_EQ(ansi.fileSize, wide.entries[i].fileSize);
    EXPECT_EQ(ansi.timestamp, wide.entries[i].timestamp);
    EXPECT_STREQ(ansi.path, "");
    EXPECT_EQ(ansi.fileName, Utf8(FieldText(wide.entries[i].fileName)));
    EXPECT_EQ(ansi.crc, 0u);
  }
  EXPECT_EQ(records[wide.entries.size()].method[0], 0) << "the terminator";
#if defined(_WIN32)
  EXPECT_EQ(LocalSize(block), (wide.entries.size() + 1) * sizeof(ArchiveEntryA));
#endif
  Plugin().FreeBlock(block);
}

TEST_F(ListingTest, OffsetsOnlyCheckTheFileAndUseTheirLow32Bits) {
  const auto text = WriteText("story.txt", NumberedLines(120));
  const Listing atStart = ListW(text);
  ASSERT_EQ(atStart.code, SUSIE_SUCCESS);
  std::vector<intptr_t> sameAsStart{8, 100};
  if constexpr (sizeof(intptr_t) == 8) sameAsStart.push_back(static_cast<intptr_t>(std::int64_t{1} << 32));
  for (const intptr_t offset : sameAsStart) {
    const Listing listing = ListW(text, offset);
    ASSERT_EQ(listing.code, SUSIE_SUCCESS) << offset;
    ASSERT_EQ(listing.entries.size(), atStart.entries.size());
    EXPECT_EQ(std::memcmp(listing.entries.data(), atStart.entries.data(),
                          atStart.entries.size() * sizeof(ArchiveEntryW)),
              0);
  }
  const auto size = static_cast<intptr_t>(std::filesystem::file_size(text));
  EXPECT_EQ(ListW(text, size - 8).code, SUSIE_SUCCESS);
  EXPECT_EQ(ListW(text, size - 7).code, SUSIE_UNKNOWN_FORMAT);
  EXPECT_EQ(ListW(text, size + 1000).code, SUSIE_UNKNOWN_FORMAT);
  // Unsigned on either width: -8 lies 4 GiB in, past the end.
  EXPECT_EQ(ListW(text, -8).code, SUSIE_UNKNOWN_FORMAT);
}

TEST_F(ListingTest, ATimeFrom2038OnIsKeptWhole) {
  if (sizeof(intptr_t) < 8) GTEST_SKIP() << "a time in 2040 does not fit the 32-bit timestamp field";
  const auto text = WriteText("story.txt", NumberedLines(3));
  constexpr std::int64_t k2040 = 2'208'988'800;  // 2040-01-01 00:00:00 UTC
  std::filesystem::last_write_time(
      text, std::chrono::file_clock::from_sys(std::chrono::sys_seconds(std::chrono::seconds(k2040))));
  const Listing listing = ListW(text);
  ASSERT_EQ(listing.code, SUSIE_SUCCESS);
  EXPECT_EQ(static_cast<std::int64_t>(listing.entries[0].timestamp), k2040);
}

}  // namespace
}  // namespace folio::testing
