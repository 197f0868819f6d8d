// The codes of the six listing and extraction functions for input they can't
// serve, and what a failing call leaves in the caller's outputs.
#include "archive_fixture.h"

namespace folio::testing {
namespace {

// The codes of GetArchiveInfoW, GetArchiveInfo, GetFileInfoW, GetFileInfo,
// GetFileW and GetFile to memory, GetFileW and GetFile into a folder.
std::vector<int> CodesOfEveryFunction(const std::optional<std::filesystem::path>& text, intptr_t offset,
                                      unsigned int flags, const std::string& memberName) {
  const auto widePath = text ? WidePathText(*text) : WideText();
  const SusieWideChar* wide = text ? widePath.c_str() : nullptr;
  const std::string ansiPath = text ? text->string() : std::string();
  const char* ansi = text ? ansiPath.c_str() : nullptr;
  const auto wideName = Wide(std::u16string(memberName.begin(), memberName.end()));
  std::vector<int> codes;
  SusieHandle block = nullptr;
  auto freeBlock = [&] {
    if (block) Plugin().FreeBlock(std::exchange(block, nullptr));
  };
  codes.push_back(Plugin().GetArchiveInfoW(wide, offset, flags, &block));
  freeBlock();
  codes.push_back(Plugin().GetArchiveInfo(ansi, offset, flags, &block));
  freeBlock();
  ArchiveEntryW wideEntry{};
  codes.push_back(Plugin().GetFileInfoW(wide, offset, wideName.c_str(), flags, &wideEntry));
  ArchiveEntryA ansiEntry{};
  codes.push_back(Plugin().GetFileInfo(ansi, offset, memberName.c_str(), flags, &ansiEntry));
  const unsigned int toMemory = flags | SUSIE_OUTPUT_TO_MEMORY;
  codes.push_back(Plugin().GetFileW(wide, 0, reinterpret_cast<SusieWideChar*>(&block), toMemory, nullptr, 0));
  freeBlock();
  codes.push_back(Plugin().GetFile(ansi, 0, reinterpret_cast<char*>(&block), toMemory, nullptr, 0));
  freeBlock();
  const unsigned int toFolder = flags & ~static_cast<unsigned int>(SUSIE_OUTPUT_TO_MEMORY);
  TempFolder wideFolder, ansiFolder;
  auto wideDestination = WidePathText(wideFolder.path());
  codes.push_back(Plugin().GetFileW(wide, 0, wideDestination.data(), toFolder, nullptr, 0));
  std::string ansiDestination = ansiFolder.path().string();
  codes.push_back(Plugin().GetFile(ansi, 0, ansiDestination.data(), toFolder, nullptr, 0));
  return codes;
}

enum class TextKind { Story, SevenBytes, Missing, Folder, Null };

struct CodesCase {
  const char* label;
  TextKind kind;
  const char* fileName;
  intptr_t offset;
  unsigned int flags;
  int code;  // of every function
};

class CodesTest : public ArchiveTest, public ::testing::WithParamInterface<CodesCase> {};

TEST_P(CodesTest, EveryFunctionGivesTheSameCode) {
  const CodesCase& c = GetParam();
  std::optional<std::filesystem::path> text = texts_ / c.fileName;
  switch (c.kind) {
    case TextKind::Story: WriteText(c.fileName, NumberedLines(50)); break;
    case TextKind::SevenBytes: WriteFile(*text, "1234567"); break;
    case TextKind::Folder: std::filesystem::create_directory(*text); break;
    case TextKind::Null: text.reset(); break;
    case TextKind::Missing: break;
  }
  EXPECT_EQ(CodesOfEveryFunction(text, c.offset, c.flags, std::string(c.fileName, 5) + "000-000.bmp"),
            std::vector<int>(8, c.code));
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, CodesTest,
    ::testing::Values(CodesCase{"sevenBytes", TextKind::SevenBytes, "short.txt", 0, 0, SUSIE_UNKNOWN_FORMAT},
                      CodesCase{"unhandledExtension", TextKind::Story, "story.bmp", 0, 0, SUSIE_UNKNOWN_FORMAT},
                      CodesCase{"missingFile", TextKind::Missing, "story.txt", 0, 0, SUSIE_FILE_READ_ERROR},
                      CodesCase{"folder", TextKind::Folder, "story.txt", 0, 0, SUSIE_FILE_READ_ERROR},
                      CodesCase{"nullPath", TextKind::Null, "story.txt", 0, 0, SUSIE_FILE_READ_ERROR},
                      CodesCase{"inputInMemory", TextKind::Story, "story.txt", 0, 1, SUSIE_NOT_SUPPORTED},
                      CodesCase{"anyInputKindBit", TextKind::Story, "story.txt", 0, 4, SUSIE_NOT_SUPPORTED},
                      CodesCase{"inputKindBeforeAnything", TextKind::Missing, "story.txt", 0, 7,
                                SUSIE_NOT_SUPPORTED}),
    [](const auto& info) { return std::string(info.param.label); });

using OutputsTest = ArchiveTest;

TEST_F(OutputsTest, NullPlacesForResultsAreRefused) {
  const auto text = WriteText("story.txt", NumberedLines(50));
  const auto path = WidePathText(text);
  EXPECT_EQ(Plugin().GetArchiveInfoW(path.c_str(), 0, 0, nullptr), SUSIE_NOT_SUPPORTED);
  EXPECT_EQ(Plugin().GetArchiveInfo(text.string().c_str(), 0, 0, nullptr), SUSIE_NOT_SUPPORTED);
  EXPECT_EQ(Plugin().GetFileInfoW(path.c_str(), 0, Wide(u"story000-010.bmp").c_str(), 0, nullptr),
            SUSIE_NOT_SUPPORTED);
  EXPECT_EQ(Plugin().GetFileInfo(text.string().c_str(), 0, "story000-010.bmp", 0, nullptr), SUSIE_NOT_SUPPORTED);
  ArchiveEntryW entry{};
  EXPECT_EQ(Plugin().GetFileInfoW(path.c_str(), 0, nullptr, 0, &entry), SUSIE_NOT_SUPPORTED);
  EXPECT_EQ(Plugin().GetFileInfoW(path.c_str(), 0, Wide(u"").c_str(), 0, &entry), SUSIE_NOT_SUPPORTED);
  EXPECT_EQ(Plugin().GetFileW(path.c_str(), 0, nullptr, SUSIE_OUTPUT_TO_MEMORY, nullptr, 0), SUSIE_NOT_SUPPORTED);
  EXPECT_EQ(Plugin().GetFile(text.string().c_str(), 0, nullptr, SUSIE_OUTPUT_TO_MEMORY, nullptr, 0),
            SUSIE_NOT_SUPPORTED);
  EXPECT_EQ(Plugin().GetFileW(path.c_str(), 0, nullptr, 0, nullptr, 0), SUSIE_FILE_WRITE_ERROR);
  EXPECT_EQ(Plugin().GetFile(text.string().c_str(), 0, nullptr, 0, nullptr, 0), SUSIE_FILE_WRITE_ERROR);
}

TEST_F(OutputsTest, FailedListingsLeaveTheHandleNull) {
  SusieHandle block = reinterpret_cast<SusieHandle>(1);
  const auto missing = WidePathText(texts_ / "missing.txt");
  EXPECT_EQ(Plugin().GetArchiveInfoW(missing.c_str(), 0, 0, &block), SUSIE_FILE_READ_ERROR);
  EXPECT_EQ(block, nullptr);
  block = reinterpret_cast<SusieHandle>(1);
  EXPECT_EQ(Plugin().GetArchiveInfo((texts_ / "missing.txt").string().c_str(), 0, 1, &block), SUSIE_NOT_SUPPORTED);
  EXPECT_EQ(block, nullptr);
}

TEST_F(OutputsTest, MemberInformationByNameInAnyCase) {
  const auto text = WriteText("story.txt", NumberedLines(120));
  const Listing listing = ListW(text);
  ASSERT_EQ(listing.code, SUSIE_SUCCESS);
  const std::u16string firstName = FieldText(listing.entries[0].fileName);
  std::u16string shouted = firstName;
  for (auto& unit : shouted) unit = unit >= u'a' && unit <= u'z' ? unit - 32 : unit;

  ArchiveEntryW wide;
  std::memset(&wide, 0x5A, sizeof wide);
  ASSERT_EQ(Plugin().GetFileInfoW(WidePathText(text).c_str(), 0, Wide(shouted).c_str(), 0x80, &wide),
            SUSIE_SUCCESS);
  EXPECT_EQ(std::memcmp(&wide, &listing.entries[0], offsetof(ArchiveEntryW, crc) + 4), 0);

  ArchiveEntryA ansi;
  std::memset(&ansi, 0x5A, sizeof ansi);
  ASSERT_EQ(Plugin().GetFileInfo(text.string().c_str(), 0, Utf8(shouted).c_str(), 0, &ansi), SUSIE_SUCCESS);
  EXPECT_EQ(std::memcmp(ansi.method, "text\0\0\0\0", 8), 0);
  EXPECT_EQ(ansi.position, 0u);
  EXPECT_EQ(ansi.fileSize, listing.entries[0].fileSize);
  EXPECT_EQ(ansi.timestamp, listing.entries[0].timestamp);
  EXPECT_STREQ(ansi.path, "");
  EXPECT_EQ(ansi.fileName, Utf8(firstName));
  EXPECT_EQ(ansi.crc, 0u);
}

TEST_F(OutputsTest, AMissingMemberLeavesTheRecordAsItWas) {
  const auto text = WriteText("story.txt", NumberedLines(120));
  ArchiveEntryW wide;
  std::memset(&wide, 0x5A, sizeof wide);
  EXPECT_EQ(Plugin().GetFileInfoW(WidePathText(text).c_str(), 0, Wide(u"story999-999.bmp").c_str(), 0, &wide),
            SUSIE_NOT_SUPPORTED);
  EXPECT_EQ(FieldText(wide.fileName), u"story999-999.bmp") << "the wide form shows the name asked for";
  EXPECT_EQ(wide.method[0], 0x5A);
  EXPECT_EQ(wide.crc, 0x5A5A5A5Au);

  ArchiveEntryA ansi;
  std::memset(&ansi, 0x5A, sizeof ansi);
  EXPECT_EQ(Plugin().GetFileInfo(text.string().c_str(), 0, "story999-999.bmp", 0, &ansi), SUSIE_NOT_SUPPORTED);
  ArchiveEntryA untouched;
  std::memset(&untouched, 0x5A, sizeof untouched);
  EXPECT_EQ(std::memcmp(&ansi, &untouched, sizeof ansi), 0);
}

}  // namespace
}  // namespace folio::testing
