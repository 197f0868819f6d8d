// Input a viewer may hand over when a user drops anything on it: every row
// states the code it expects, and every call must write nothing outside the
// caller's buffers and leave no file behind.
#include <algorithm>
#include <array>
#include <functional>
#include <random>

#include "archive_fixture.h"

namespace folio::testing {
namespace {

constexpr unsigned char kGuardByte = 0xA5;
constexpr std::size_t kGuardBytes = 64;

// A record or buffer with guard bytes on both sides.
template <typename T>
struct Guarded {
  Guarded() { std::memset(static_cast<void*>(this), kGuardByte, sizeof *this); }
  bool GuardsIntact() const {
    auto intact = [](const unsigned char* guard) {
      return std::all_of(guard, guard + kGuardBytes, [](unsigned char b) { return b == kGuardByte; });
    };
    return intact(before) && intact(after);
  }
  alignas(16) unsigned char before[kGuardBytes];
  T value;
  unsigned char after[kGuardBytes];
};

// Everything under `folder`; MinGW's runtime can't walk paths past 260
// characters, which the long-path rows make (nothing to compare there then).
std::optional<std::vector<std::filesystem::path>> FolderListing(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> names;
  std::error_code error;
  for (auto item = std::filesystem::recursive_directory_iterator(folder, error);
       !error && item != std::filesystem::recursive_directory_iterator(); item.increment(error)) {
    names.push_back(item->path());
  }
  if (error) return std::nullopt;
  std::sort(names.begin(), names.end());
  return names;
}

// A path of exactly `length` characters under `base`, its folders made.
std::filesystem::path PathOfLength(const std::filesystem::path& base, std::size_t length) {
  std::filesystem::path path = base;
  const std::size_t fileName = std::string("/story.txt").size();
  while (path.native().size() + fileName < length) {
    const std::size_t room = length - path.native().size() - fileName - 1;
    path /= std::string(std::min<std::size_t>(room ? room : 1, 120), 'd');
  }
  std::filesystem::create_directories(path);
  return path / "story.txt";
}

std::string RandomBytes(std::size_t size) {
  std::mt19937 generator(7);
  std::string bytes(size, '\0');
  for (auto& byte : bytes) byte = static_cast<char>(generator());
  return bytes;
}

struct TextRow {
  const char* label;
  std::function<std::filesystem::path(const std::filesystem::path& folder)> make;
  std::string settings;
  int code;                         // of the listing and of extracting the first page
  const char* wineLimit = nullptr;  // why the row can't run under Wine
  const char* fontName = "DejaVu Sans";
};

std::filesystem::path Written(const std::filesystem::path& path, const std::string& bytes) {
  WriteFile(path, bytes);
  return path;
}

auto Text(const char* name, std::string bytes) {
  return [name, bytes](const std::filesystem::path& folder) { return Written(folder / name, bytes); };
}

std::string ManyLines(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "line " + std::to_string(i) + "\n";
  return text;
}

// One line of 5 MiB: words, but no line feed.
std::string FiveMegabytesOfWords() {
  std::string line;
  line.reserve(5 << 20);
  while (line.size() + 6 <= (5 << 20)) line += "words ";
  return line;
}

const std::string kSmallPage = "BmpWidth=200\r\nBmpHeight=150\r\n";
const std::string kVertical = "Vertical=1\r\n";

std::string Repeated(std::string_view piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

std::vector<TextRow> TextRows() {
  return {
      {"missingFile", [](const auto& folder) { return folder / "missing.txt"; }, kSmallPage,
       SUSIE_FILE_READ_ERROR},
      {"folder",
       [](const auto& folder) {
         std::filesystem::create_directory(folder / "folder.txt");
         return folder / "folder.txt";
       },
       kSmallPage, SUSIE_FILE_READ_ERROR},
      {"emptyFile", Text("empty.txt", ""), kSmallPage, SUSIE_UNKNOWN_FORMAT},
      {"sevenBytes", Text("seven.txt", "1234567"), kSmallPage, SUSIE_UNKNOWN_FORMAT},
      {"binaryData", Text("binary.txt", RandomBytes(20000)), kSmallPage, SUSIE_SUCCESS},
      // A device's name is not a text file: Windows' NUL device, Linux's endless zeros.
      {"deviceName",
       [](const auto& folder) {
#if defined(_WIN32)
         return folder / "nul.txt";
#else
         return folder.root_path() / "dev" / "zero";
#endif
       },
       kSmallPage, SUSIE_FILE_READ_ERROR},
      {"nulBytes", Text("zeros.txt", std::string(3000, '\0') + "after the zeros\n"), kSmallPage, SUSIE_SUCCESS},
      {"invalidUtf8", Text("invalid.txt", "abc\xC3\x28\xE2\x82\n\xF8\x88\x80\x80\x80\xFF\xFE\xED\xA0\x80\n"),
       kSmallPage, SUSIE_SUCCESS},
      {"oddLengthUtf16",
       Text("odd.txt", Encoded(u"a UTF-16 text\nending in half a unit\n", Encoding::Utf16LE) + "\x41"), kSmallPage,
       SUSIE_SUCCESS},
      {"oddLengthUtf16BE", Text("oddbe.txt", "\xFE\xFF" + std::string("\0a\0\n\0b", 6) + "\x42"), kSmallPage,
       SUSIE_SUCCESS},
      {"fiveMegabyteLine", Text("long.txt", FiveMegabytesOfWords()), kSmallPage, SUSIE_SUCCESS},
      {"fiveMegabyteWord", Text("word.txt", std::string(5 << 20, 'x')), kSmallPage, SUSIE_SUCCESS,
       "Wine's DirectWrite never breaks inside a word, and a line of more than 65535 units without a break "
       "faults inside it"},
      {"twentyThousandLinesNoLimit", Text("many.txt", ManyLines(20000)),
       "MaxPage=0\r\nBmpWidth=300\r\nBmpHeight=150\r\n", SUSIE_SUCCESS},
      {"path259", [](const auto& folder) { return Written(PathOfLength(folder, 259), ManyLines(20)); }, kSmallPage,
       SUSIE_SUCCESS},
      {"path260", [](const auto& folder) { return Written(PathOfLength(folder, 260), ManyLines(20)); }, kSmallPage,
       SUSIE_SUCCESS},
      {"path400", [](const auto& folder) { return Written(PathOfLength(folder, 400), ManyLines(20)); }, kSmallPage,
       SUSIE_SUCCESS},
      {"nameOutsideTheAnsiCodePage", Text("Ωμέγα_中文_\xF0\x9F\x98\x80.txt", ManyLines(20)), kSmallPage,
       SUSIE_SUCCESS},
      // Absurd settings: the page is still listed and drawn, or refused as a
      // bitmap that can't be made.
      {"sizesZero", Text("a.txt", ManyLines(20)), "BmpWidth=0\r\nBmpHeight=0\r\n", SUSIE_SUCCESS},
      {"sizesNegative", Text("a.txt", ManyLines(20)), "BmpWidth=-200\r\nBmpHeight=-150\r\n", SUSIE_MEMORY_ERROR},
      {"sizesHuge", Text("a.txt", ManyLines(20)), "BmpWidth=100000\r\nBmpHeight=100000\r\n", SUSIE_MEMORY_ERROR},
      {"marginLargerThanThePage", Text("a.txt", ManyLines(20)), kSmallPage + "Margin=1000\r\n", SUSIE_SUCCESS},
      {"marginNegative", Text("a.txt", ManyLines(20)), kSmallPage + "Margin=-1000\r\n", SUSIE_SUCCESS},
      {"fontSizeZero", Text("a.txt", ManyLines(20)), kSmallPage + "FontSize=0\r\n", SUSIE_SUCCESS},
      {"fontSizeHuge", Text("a.txt", ManyLines(20)), kSmallPage + "FontSize=10000\r\n", SUSIE_SUCCESS},
      {"unknownColours", Text("a.txt", ManyLines(20)), kSmallPage + "FontColor=PUCE\r\nBGColor=#12345\r\n",
       SUSIE_SUCCESS},
      {"unknownFont", Text("a.txt", ManyLines(20)), kSmallPage, SUSIE_SUCCESS, nullptr, "No Such Font Family"},
      // Vertical pages set what no column can hold.
      {"verticalWordOf1023Letters", Text("a.txt", std::string(1023, 'x') + "\n"), kSmallPage + kVertical,
       SUSIE_SUCCESS},
      {"verticalLineWiderThanAllColumns", Text("a.txt", Repeated("\xE6\xBC\xA2", 3000)), kSmallPage + kVertical,
       SUSIE_SUCCESS},
      {"verticalFontSizeHuge", Text("a.txt", ManyLines(20)), kSmallPage + kVertical + "FontSize=10000\r\n",
       SUSIE_SUCCESS},
      {"verticalPageSmallerThanACell", Text("a.txt", ManyLines(20)),
       "BmpWidth=20\r\nBmpHeight=20\r\nMargin=8\r\nFontSize=30\r\n" + kVertical, SUSIE_SUCCESS},
      {"verticalOddCharacters",
       Text("a.txt",
            "\xF0\x9F\x98\x80\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9 \x01\x7F\t\xCC\x81x\xE2\x80\xA8y" +
                std::string(1, '\0') + "z\n"),
       kSmallPage + kVertical, SUSIE_SUCCESS},
      {"verticalUnpairedSurrogates",
       Text("a.txt", std::string("\xFF\xFE"
                                 "a\0\x00\xD8"
                                 "b\0\x00\xDC\x3D\xD8\n\0",
                                 14)),
       kSmallPage + kVertical, SUSIE_SUCCESS},
      {"verticalReadingLongerThanItsNeighbours",
       Text("a.txt", "\xE6\xBC\xA2\xE3\x80\x8A" + Repeated("\xE3\x81\x8B", 40) + "\xE3\x80\x8B\xE5\xAD\x97\n"),
       kSmallPage + kVertical + "Notation=aozora\r\n", SUSIE_SUCCESS},
      {"verticalFontWithoutVerticalForms",
       Text("a.txt",
            "\xE3\x80\x8C\xE2\x80\xA6\xE2\x80\xA6\xE3\x80\x8D\xE2\x80\x95\xE2\x80\x95"
            "\xEF\xBC\x88\xE3\x83\xBC\xEF\xBC\x89\xE3\x80\x81\xE3\x80\x82\n"),
       kSmallPage + kVertical, SUSIE_SUCCESS},
  };
}

class BadInputTest : public ArchiveTest, public ::testing::WithParamInterface<TextRow> {};

TEST_P(BadInputTest, GivesItsCodeAndWritesNothingElse) {
  const TextRow& row = GetParam();
#if defined(_WIN32)
  if (row.wineLimit) GTEST_SKIP() << row.wineLimit;
#endif
  UseSettings(row.settings, row.fontName);
  std::filesystem::path text;
  try {
    text = row.make(texts_.path());
  } catch (const std::filesystem::filesystem_error& error) {
    GTEST_SKIP() << "this file system can't hold the row's file: " << error.what();
  }
  const auto before = FolderListing(texts_.path());
  const auto path = WidePathText(text);

  Guarded<SusieHandle> entries;
  const int listed = Plugin().GetArchiveInfoW(path.c_str(), 0, 0, &entries.value);
  EXPECT_EQ(listed, row.code);
  EXPECT_TRUE(entries.GuardsIntact());
  std::size_t pages = 0;
  if (listed == SUSIE_SUCCESS) {
    for (auto* entry = static_cast<const ArchiveEntryW*>(entries.value); entry->method[0]; ++entry) ++pages;
    EXPECT_GE(pages, 1u);
    Plugin().FreeBlock(entries.value);
  } else {
    EXPECT_EQ(entries.value, nullptr);
  }

  Guarded<SusieHandle> image;
  const int extracted = Plugin().GetFileW(path.c_str(), 0, reinterpret_cast<SusieWideChar*>(&image.value),
                                          SUSIE_OUTPUT_TO_MEMORY, nullptr, 0);
  EXPECT_EQ(extracted, row.code);
  EXPECT_TRUE(image.GuardsIntact());
  if (extracted == SUSIE_SUCCESS) {
    EXPECT_TRUE(ReadBitmapShape(ReadBlock(image.value)));
    Plugin().FreeBlock(image.value);
  }

  TempFolder output;
  auto destination = WidePathText(output.path());
  EXPECT_EQ(Plugin().GetFileW(path.c_str(), 0, destination.data(), 0, nullptr, 0), row.code);
  EXPECT_EQ(FolderListing(output.path())->size(), row.code == SUSIE_SUCCESS ? 1u : 0u);
  const auto after = FolderListing(texts_.path());
  if (before && after) {
    EXPECT_EQ(*after, *before) << "no file is left beside the text";
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, BadInputTest, ::testing::ValuesIn(TextRows()),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(ArchiveTest, TwentyThousandLinesWithoutALimitAreAllListed) {
  UseSettings("MaxPage=0\r\nBmpWidth=300\r\nBmpHeight=150\r\n");
  const Listing listing = ListW(WriteText("many.txt", NumberedLines(20000)));
  ASSERT_EQ(listing.code, SUSIE_SUCCESS);
  ASSERT_GT(listing.entries.size(), 1u);
  const auto last = ParseMemberName(FieldText(listing.entries.back().fileName), u"many");
  ASSERT_TRUE(last);
  EXPECT_EQ(last->lastLine, 19999);
}

#if defined(_WIN32)
TEST_F(ArchiveTest, AFileHeldExclusivelyCantBeRead) {
  UseSettings(kSmallPage);
  const auto text = WriteText("held.txt", NumberedLines(20));
  const HANDLE held = CreateFileW(reinterpret_cast<const wchar_t*>(WidePathText(text).c_str()), GENERIC_READ, 0,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ListW(text).code, SUSIE_FILE_READ_ERROR);
  EXPECT_EQ(ExtractW(text, 0).code, SUSIE_FILE_READ_ERROR);
  CloseHandle(held);
  EXPECT_EQ(ListW(text).code, SUSIE_SUCCESS);
}
#else
TEST_F(ArchiveTest, AFileHeldExclusivelyCantBeRead) {
  GTEST_SKIP() << "Linux has no mandatory file locks: another handle can't keep a file from being read";
}
#endif

// Bits 0-2 say the input is in memory (refused); bit 8 picks memory output.
TEST_F(ArchiveTest, EveryFlagCombination) {
  UseSettings(kSmallPage);
  const auto text = WriteText("story.txt", NumberedLines(30));
  const auto path = WidePathText(text);
  for (unsigned int flags = 0; flags < 16; ++flags) {
    const unsigned int flag = (flags & 7) | (flags & 8 ? SUSIE_OUTPUT_TO_MEMORY : 0);
    SCOPED_TRACE(flag);
    const int expected = flag & 7 ? SUSIE_NOT_SUPPORTED : SUSIE_SUCCESS;
    Guarded<SusieHandle> entries;
    EXPECT_EQ(Plugin().GetArchiveInfoW(path.c_str(), 0, flag, &entries.value), expected);
    EXPECT_TRUE(entries.GuardsIntact());
    if (entries.value) Plugin().FreeBlock(entries.value);

    Guarded<ArchiveEntryW> entry;
    EXPECT_EQ(Plugin().GetFileInfoW(path.c_str(), 0, Wide(u"story000-009.bmp").c_str(), flag, &entry.value),
              expected == SUSIE_SUCCESS ? SUSIE_NOT_SUPPORTED : expected);  // no page holds exactly those lines
    EXPECT_TRUE(entry.GuardsIntact());

    TempFolder output;
    Guarded<SusieHandle> image;
    auto destination = WidePathText(output.path());
    SusieWideChar* target =
        flag & SUSIE_OUTPUT_TO_MEMORY ? reinterpret_cast<SusieWideChar*>(&image.value) : destination.data();
    EXPECT_EQ(Plugin().GetFileW(path.c_str(), 0, target, flag, nullptr, 0), expected);
    EXPECT_TRUE(image.GuardsIntact());
    if (flag & SUSIE_OUTPUT_TO_MEMORY && expected == SUSIE_SUCCESS) Plugin().FreeBlock(image.value);
    EXPECT_EQ(FolderListing(output.path())->size(), !(flag & SUSIE_OUTPUT_TO_MEMORY) && expected == SUSIE_SUCCESS);
  }
}

// Records and buffers filled by the plug-in: never a byte past their ends.
TEST_F(ArchiveTest, RecordsAndSmallBuffersKeepTheirBounds) {
  UseSettings(kSmallPage);
  const auto text = WriteText("story.txt", NumberedLines(30));
  const Listing listing = ListW(text);
  ASSERT_EQ(listing.code, SUSIE_SUCCESS);
  const std::u16string name = FieldText(listing.entries[0].fileName);

  Guarded<ArchiveEntryW> wide;
  EXPECT_EQ(Plugin().GetFileInfoW(WidePathText(text).c_str(), 0, Wide(name).c_str(), 0, &wide.value),
            SUSIE_SUCCESS);
  EXPECT_TRUE(wide.GuardsIntact());
  Guarded<ArchiveEntryA> ansi;
  EXPECT_EQ(Plugin().GetFileInfo(text.string().c_str(), 0, Utf8(name).c_str(), 0, &ansi.value), SUSIE_SUCCESS);
  EXPECT_TRUE(ansi.GuardsIntact());

  for (int length : {0, 1, 2, 5}) {
    for (int index : {-1, 0, 1, 2, 3, 4}) {
      SCOPED_TRACE(::testing::Message() << "index " << index << ", length " << length);
      Guarded<std::array<SusieWideChar, 5>> wideBuffer;
      Plugin().GetPluginInfoW(index, wideBuffer.value.data(), length);
      EXPECT_TRUE(wideBuffer.GuardsIntact());
      EXPECT_TRUE(std::all_of(wideBuffer.value.begin() + length, wideBuffer.value.end(),
                              [](SusieWideChar unit) { return unit == SusieWideChar(0xA5A5); }));
      Guarded<std::array<char, 5>> ansiBuffer;
      Plugin().GetPluginInfo(index, ansiBuffer.value.data(), length);
      EXPECT_TRUE(ansiBuffer.GuardsIntact());
      EXPECT_TRUE(std::all_of(ansiBuffer.value.begin() + length, ansiBuffer.value.end(),
                              [](char byte) { return byte == static_cast<char>(kGuardByte); }));
    }
  }
  EXPECT_EQ(Plugin().GetPluginInfoW(1, nullptr, 0), 0);
  EXPECT_EQ(Plugin().GetPluginInfo(1, nullptr, 0), 0);
}

}  // namespace
}  // namespace folio::testing
