// One host call through the plug-in's core, with the settings' defaults: the
// text opened once and the settings read once, whatever the call does, and
// the same entries and pages whether the page index serves them or not.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "full_disk_files.h"
#include "plugin/archive_lookup.h"
#include "plugin/member_name.h"
#include "support/temp_folder.h"
#include "support/test_files.h"

namespace folio::plugin {
namespace {

using testing::WidePath;

constexpr std::size_t kDefaultPageBytes = 921654;

// The platform's files, the test's settings (the defaults to begin with)
// and a page index store in a folder of the test's own, counted.
class CountingSources final : public CallSources {
 public:
  int openings = 0;
  int settingsReadings = 0;
  int indexWrites = 0;
  settings::RenderSettings settings;
  std::filesystem::path indexFolder;
  std::uint64_t freeBytes = UINT64_MAX;  // on the index folder's disk, at every call

  std::optional<platform::InputFile> OpenText(std::u16string_view path) override {
    ++openings;
    return platform::InputFile::Open(path);
  }
  settings::RenderSettings LoadSettings() override {
    ++settingsReadings;
    return settings;
  }
  std::optional<index::PageIndexStore> OpenPageIndex() override {
    return index::PageIndexStore(std::make_unique<testing::FullDiskFiles>(indexFolder, freeBytes, &indexWrites));
  }
};

class CallTest : public ::testing::Test {
 protected:
  std::u16string TextFile(std::string_view name, std::string_view bytes) {
    testing::WriteFile(folder_ / name, bytes);
    return WidePath(folder_ / name);
  }

  void SetUp() override { sources_.indexFolder = folder_ / "pages"; }

  // A call of its own, which lists afresh as the listing exports do; the
  // counts say what it used.
  int List(std::u16string_view path, EntryArray& entries) {
    cache_.Clear();
    sources_.openings = sources_.settingsReadings = 0;
    CallText call(sources_, path);
    platform::HostBlock block;
    const int code = LookupArchive(cache_, index_, call, 0, ArchiveRequest::WholeArray(block));
    if (code == SUSIE_SUCCESS) {
      const auto* first = static_cast<const ArchiveEntryW*>(block.get());
      entries.assign(first, first + block.size() / sizeof(ArchiveEntryW));
    }
    return code;
  }
  int Draw(std::u16string_view path, std::uintptr_t position, platform::HostBlock& image) {
    return Draw(path, position, image, index_);
  }
  int Draw(std::u16string_view path, std::uintptr_t position, platform::HostBlock& image, PageStartIndex& index) {
    sources_.openings = sources_.settingsReadings = 0;
    CallText call(sources_, path);
    ArchiveEntryW entry{};
    return DrawListedPage(cache_, index, call, position, entry, image);
  }
  static std::string Bytes(const platform::HostBlock& block) {
    return std::string(reinterpret_cast<const char*>(block.bytes()), block.size());
  }
  static bool SameEntries(const EntryArray& a, const EntryArray& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(ArchiveEntryW)) == 0;
  }

  static bool IsBlankWhitePage(const platform::HostBlock& block) {
    if (block.size() != kDefaultPageBytes) return false;
    const auto* pixels = reinterpret_cast<const std::uint8_t*>(block.bytes()) + 54;
    return std::all_of(pixels, pixels + (kDefaultPageBytes - 54), [](std::uint8_t byte) { return byte == 0xFF; });
  }

  testing::TempFolder folder_;
  CountingSources sources_;
  ArchiveCache cache_;
  PageStartIndex index_{4};
};

std::string NumberedLines(int count) {
  std::string lines;
  for (int line = 0; line < count; ++line) lines += "Line " + std::to_string(line) + "\n";
  return lines;
}

TEST_F(CallTest, EveryCallOpensTheTextOnceAndReadsTheSettingsOnce) {
  // More pages than the default limit: the listing is kept in the page index.
  const std::u16string path = TextFile("notes.txt", NumberedLines(1000));
  EntryArray entries;
  ASSERT_EQ(List(path, entries), SUSIE_SUCCESS);
  ASSERT_EQ(entries.size(), 11u);
  EXPECT_EQ(sources_.openings, 1);
  EXPECT_EQ(sources_.settingsReadings, 1);
  EXPECT_EQ(sources_.indexWrites, 1);

  platform::HostBlock image;
  ASSERT_EQ(Draw(path, 1, image), SUSIE_SUCCESS);  // from the cache
  EXPECT_EQ(image.size(), kDefaultPageBytes);
  EXPECT_EQ(sources_.openings, 1);
  EXPECT_EQ(sources_.settingsReadings, 1);

  cache_.Clear();
  platform::HostBlock again;
  ASSERT_EQ(Draw(path, 1, again), SUSIE_SUCCESS);  // listed from the page index and drawn in one call
  EXPECT_EQ(sources_.openings, 1);
  EXPECT_EQ(sources_.settingsReadings, 1);
  EXPECT_EQ(sources_.indexWrites, 1);
  EXPECT_EQ(Bytes(again), Bytes(image));
}

TEST_F(CallTest, AFullDiskLeavesTheEntriesAndPagesAsMeasured) {
  sources_.settings.pageLimit = 0;
  const std::u16string path = TextFile("notes.txt", NumberedLines(700));
  sources_.settings.pageIndex = false;
  EntryArray measured;
  ASSERT_EQ(List(path, measured), SUSIE_SUCCESS);
  const std::uintptr_t last = measured.size() - 2;
  ASSERT_GT(last, 10u);
  platform::HostBlock measuredPage;
  ASSERT_EQ(Draw(path, last, measuredPage), SUSIE_SUCCESS);

  sources_.settings.pageIndex = true;
  sources_.freeBytes = 100;
  for (int listing = 0; listing < 2; ++listing) {
    EntryArray entries;
    ASSERT_EQ(List(path, entries), SUSIE_SUCCESS);
    EXPECT_TRUE(SameEntries(entries, measured));
  }
  EXPECT_EQ(sources_.indexWrites, 0);
  EXPECT_TRUE(std::filesystem::is_empty(sources_.indexFolder)) << "a file left behind";

  // With room again the listing is kept, and a process that knows nothing
  // of the text draws its last page from the page index.
  sources_.freeBytes = UINT64_MAX;
  EntryArray entries;
  ASSERT_EQ(List(path, entries), SUSIE_SUCCESS);
  EXPECT_TRUE(SameEntries(entries, measured));
  EXPECT_EQ(sources_.indexWrites, 1);
  cache_.Clear();
  PageStartIndex fresh(4);
  platform::HostBlock page;
  ASSERT_EQ(Draw(path, last, page, fresh), SUSIE_SUCCESS);
  EXPECT_EQ(sources_.indexWrites, 1);
  EXPECT_EQ(Bytes(page), Bytes(measuredPage));
}

TEST_F(CallTest, AnUnreadableTextIsRefusedAndLeavesTheImageAlone) {
  platform::HostBlock image = platform::HostBlock::Allocate(3, true);
  void* const before = image.get();
  EXPECT_EQ(Draw(WidePath(folder_ / "absent.txt"), 0, image), SUSIE_FILE_READ_ERROR);
  EXPECT_EQ(image.get(), before);
}

TEST_F(CallTest, BigEndianTextIsListedAsItsLittleEndianTwin) {
  std::string little = "\xFF\xFE";
  std::string big = "\xFE\xFF";
  // Long enough to wrap: byte-swapped units would be wide ideographs and wrap differently.
  const std::string words(160, 'w');
  for (int line = 0; line < 300; ++line) {
    for (char c : "Line " + std::to_string(line) + " " + words + "\n") {
      little += {c, '\0'};
      big += {'\0', c};
    }
  }
  EntryArray fromLittle, fromBig;
  ASSERT_EQ(List(TextFile("little.txt", little), fromLittle), SUSIE_SUCCESS);
  ASSERT_EQ(List(TextFile("big.txt", big), fromBig), SUSIE_SUCCESS);
  ASSERT_EQ(fromBig.size(), fromLittle.size());
  for (std::size_t i = 0; i + 1 < fromBig.size(); ++i) {
    EXPECT_EQ(LineRangeFromMemberName(u"big.txt", FieldText(fromBig[i].fileName))->lastLine,
              LineRangeFromMemberName(u"little.txt", FieldText(fromLittle[i].fileName))->lastLine);
  }
}

TEST_F(CallTest, NamesThatNameNoPageAreRefusedNotDrawnBlank) {
  const std::u16string path = TextFile("notes.txt", "one\ntwo\nthree\n");
  // Pages listed for other texts: names with a shorter stem, or none.
  for (std::u16string_view listedAs : {u"note.txt", u"/"}) {
    cache_.Insert(path, std::make_shared<const PageList>(listedAs, render::PageBreakList{0, 3}, 1, 58, 0));
    platform::HostBlock image;
    EXPECT_EQ(Draw(path, 0, image), SUSIE_UNKNOWN_FORMAT);
    EXPECT_FALSE(image);
  }
}

TEST_F(CallTest, AnEmptyPageDrawsNothing) {
  const std::u16string path = TextFile("notes.txt", "one\ntwo\nthree\n");
  cache_.Insert(path,
                std::make_shared<const PageList>(path, render::PageBreakList{0, 0}, 1, kDefaultPageBytes, 0));
  platform::HostBlock image;
  EXPECT_EQ(Draw(path, 0, image), SUSIE_SUCCESS);
  EXPECT_TRUE(IsBlankWhitePage(image));
}

#if defined(_WIN32)
TEST_F(CallTest, ManyCallsLeaveTheGdiObjectCountAlone) {
  const std::u16string path = TextFile("notes.txt", "one\ntwo\nthree\n");
  auto gdiObjects = [] { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); };
  platform::HostBlock warmUp;
  Draw(path, 0, warmUp);
  const DWORD before = gdiObjects();
  for (int call = 0; call < 5; ++call) {
    cache_.Clear();
    platform::HostBlock image;
    EXPECT_EQ(Draw(path, 0, image), SUSIE_SUCCESS);
  }
  EXPECT_EQ(gdiObjects(), before);
}
#endif

}  // namespace
}  // namespace folio::plugin
