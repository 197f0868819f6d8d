// What real viewers do that the other tests' host never did: end without
// unloading the plug-in, unload it after every call, call from a second
// thread, name the text in another letter case, name no font, and change the
// settings between a listing and an extraction.  Every page drawn must have
// ink where the text goes: a blank page reported as success is a failure.
#include <thread>

#include "archive_fixture.h"
#include "support/child_process.h"

namespace folio::testing {
namespace {

// Ink near the text box's top-left corner (margin 4): a page whose text was drawn.
::testing::AssertionResult HasText(const Page& page) {
  if (page.code != SUSIE_SUCCESS) return ::testing::AssertionFailure() << "code " << page.code;
  const PageImage image(page.bytes);
  if (!image.whole()) return ::testing::AssertionFailure() << "not a whole BMP file";
  const auto [left, top, right, bottom] = image.InkBounds(image.Background());
  if (left >= right) return ::testing::AssertionFailure() << "a blank page";
  if (left > 40 || top > 40) return ::testing::AssertionFailure() << "no text at the top left";
  return ::testing::AssertionSuccess();
}

std::u16string UpperCase(std::u16string text) {
  for (char16_t& unit : text) unit = unit >= u'a' && unit <= u'z' ? unit - 32 : unit;
  return text;
}

using RealHostTest = ArchiveTest;

TEST_F(RealHostTest, AHostThatEndsWithoutUnloadingEndsAtOnce) {
  const auto text = WriteText("story.txt", NumberedLines(100));
  const ChildOutcome outcome =
      RunChild(ViewerHost(), {"exit-without-unload", Plugin().libraryPath().string(), text.string()},
               std::chrono::seconds(30));
  ASSERT_TRUE(outcome.started);
  ASSERT_TRUE(outcome.exitStatus.has_value()) << "still running after 30 s";
  EXPECT_EQ(*outcome.exitStatus, 0) << "the page was not drawn";
}

TEST_F(RealHostTest, AnAnsiViewerWithShortPathsUnloadingAfterEveryCall) {
  UseSettings("MaxPage=3\r\n");
  const auto text = WriteText("a long story.txt", NumberedLines(300));
  const ChildOutcome outcome = RunChild(
      ViewerHost(), {"ansi-viewer", Plugin().libraryPath().string(), text.string()}, std::chrono::seconds(120));
  ASSERT_TRUE(outcome.started);
  ASSERT_TRUE(outcome.exitStatus.has_value()) << "still running after 120 s";
  EXPECT_EQ(*outcome.exitStatus, 0);
}

TEST_F(RealHostTest, TwelveRoundsOfLoadListDrawUnload) {
  const LibraryCopy library(Plugin().libraryPath());
  WriteSettings(std::filesystem::path(library.path).replace_extension(".ini"), "FontName=DejaVu Sans\r\n");
  const auto text = WriteText("story.txt", NumberedLines(200));
  ProcessResources third;
  for (int round = 0; round < 12; ++round) {
    {
      const PluginModule plugin(library.path, PluginModule::Unloading::Unload);
      ASSERT_EQ(ListW(text, 0, 0, plugin).code, SUSIE_SUCCESS) << "round " << round;
      ASSERT_TRUE(HasText(ExtractW(text, 1, plugin))) << "round " << round;
    }
    if (round == 2) third = ProcessResources::Now();
  }
  const ProcessResources last = ProcessResources::Now();
  EXPECT_LE(last.gdiObjects, third.gdiObjects);
  EXPECT_LE(last.handles, third.handles);
  // A few bytes of the system's own bookkeeping may come and go; a page's
  // worth may not.
  EXPECT_LE(last.memoryBytes, third.memoryBytes + 64 * 1024)
      << "bytes in use after round 3: " << third.memoryBytes;
}

TEST_F(RealHostTest, AFileManagerAsksFromASecondThread) {
  const auto text = WriteText("story.txt", NumberedLines(200));
  const Listing listing = ListW(text);
  ASSERT_GE(listing.entries.size(), 2u);
  const std::u16string name = UpperCase(FieldText(listing.entries[1].fileName));
  int supported = -1;
  int found = -1;
  Page page{};
  std::thread([&] {
    std::string header(2048, '\0');  // the file's first bytes, zero-padded
    const std::string bytes = ReadFile(text);
    header.replace(0, std::min<std::size_t>(bytes.size(), header.size()), bytes, 0, header.size());
    supported = Plugin().IsSupportedW(WidePathText(text).c_str(), header.data());
    ArchiveEntryW entry{};
    found = Plugin().GetFileInfoW(WidePathText(text).c_str(), 0, Wide(name).c_str(), 0x80, &entry);
    page = ExtractW(text, static_cast<intptr_t>(entry.position));
  }).join();
  EXPECT_EQ(supported, 1);
  EXPECT_EQ(found, SUSIE_SUCCESS);
  EXPECT_TRUE(HasText(page));
}

TEST_F(RealHostTest, LettersOfEveryKindIgnoreTheirCase) {
#if defined(_WIN32)
  // Windows paths ignore case: the listing's path in capitals is the same text.
  const auto text = WriteText("Story.txt", NumberedLines(200));
  ASSERT_GE(ListW(text).entries.size(), 2u);
  EXPECT_TRUE(HasText(ExtractW(texts_ / "STORY.TXT", 1)));
  // Settings files beyond ASCII are UTF-16 there.
  std::u16string settings = u"\uFEFF[SystemSetting]\r\nFontName=DejaVu Sans\r\nExt=*.\u00C4XT\r\n";
  WriteFile(Plugin().SettingsPath(),
            std::string(reinterpret_cast<const char*>(settings.data()), 2 * settings.size()));
#else
  UseSettings("Ext=*.\u00C4XT\r\n");
#endif
  EXPECT_EQ(Plugin().IsSupportedW(Wide(u"a.\u00E4xt").c_str(), reinterpret_cast<void*>(0x10000)), 1);

  const auto umlaut = WriteText(std::filesystem::path(u"\u00DCber.\u00E4xt"), NumberedLines(200));
  const Listing listing = ListW(umlaut);
  ASSERT_EQ(listing.code, SUSIE_SUCCESS);
  std::u16string lower = FieldText(listing.entries[0].fileName);
  ASSERT_EQ(lower[0], u'\u00DC');
  lower[0] = u'\u00FC';
  ArchiveEntryW entry{};
  EXPECT_EQ(Plugin().GetFileInfoW(WidePathText(umlaut).c_str(), 0, Wide(lower).c_str(), 0x80, &entry),
            SUSIE_SUCCESS);
}

TEST_F(RealHostTest, PagesHaveTextWithoutAFontNamed) {
  const auto english = WriteText("english.txt", NumberedLines(40));
  const auto japanese = WriteText("japanese.txt", NumberedLines(40, true));
  for (const char* settings : {"", "FontName=No Such Family\r\n"}) {
    Plugin().WriteSettings(settings);
    EXPECT_TRUE(HasText(ExtractW(english, 0))) << settings;
    EXPECT_TRUE(HasText(ExtractW(japanese, 0))) << settings;
  }
}

TEST_F(RealHostTest, SettingsChangedSinceTheListingGiveWholePages) {
  UseSettings("BmpWidth=200\r\nBmpHeight=150\r\n");
  const auto text = WriteText("story.txt", NumberedLines(200));
  const Listing listing = ListW(text);
  ASSERT_EQ(listing.code, SUSIE_SUCCESS);
  UseSettings("BmpWidth=300\r\nBmpHeight=200\r\n");

  const Page page = ExtractW(text, 0);
  EXPECT_TRUE(HasText(page));
  const auto inMemory = ReadBitmapShape(page.bytes);
  ASSERT_TRUE(inMemory.has_value());
  EXPECT_EQ(inMemory->width, 300);

  TempFolder output;
  ASSERT_EQ(ExtractToFolderW(text, 0, output.path()), SUSIE_SUCCESS);
  const auto inFile = ReadBitmapShape(ReadFile(output / FieldText(listing.entries[0].fileName)));
  ASSERT_TRUE(inFile.has_value()) << "the page file is cut short";
  EXPECT_EQ(inFile->height, 200);
}

}  // namespace
}  // namespace folio::testing
