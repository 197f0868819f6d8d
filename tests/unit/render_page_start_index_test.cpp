// The index of page starts, and pages drawn through it: they must equal the
// pages drawn by reading the text from its start.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ansi_text_decoder.h"
#include "platform/files.h"
#include "render/member_name.h"
#include "render/page_start_index.h"
#include "render/render_driver.h"
#include "support/temp_folder.h"
#include "support/test_files.h"
#include "text/byte_window.h"
#include "text/unicode.h"

namespace folio::render {
namespace {

using testing::WidePath;

PageStart StartAt(std::int32_t line) {
  return {line, {static_cast<std::uint64_t>(line) * 10, 0}};
}

ListedText Listed(platform::FileStamp stamp, std::vector<std::int32_t> lines) {
  ListedText text{stamp, {text::TextEncoding::Utf8, {}}, {}};
  for (std::int32_t line : lines) text.pageStarts.push_back(StartAt(line));
  return text;
}

std::optional<std::int32_t> FoundLine(PageStartIndex& index, std::u16string_view path, platform::FileStamp stamp,
                                      std::int32_t line) {
  const auto shortcut = index.Find(path, stamp, line);
  if (!shortcut) return std::nullopt;
  EXPECT_EQ(shortcut->pageStart.start.byteOffset, static_cast<std::uint64_t>(shortcut->pageStart.line) * 10);
  return shortcut->pageStart.line;
}

TEST(PageStartIndexTest, FindsTheLastPageStartAtOrBeforeALineOfTheSameFile) {
  PageStartIndex index(4);
  const platform::FileStamp stamp{100, 5};
  index.Store(u"a.txt", Listed(stamp, {0, 40, 80}));
  EXPECT_EQ(FoundLine(index, u"a.txt", stamp, 0), 0);
  EXPECT_EQ(FoundLine(index, u"a.txt", stamp, 79), 40);
  EXPECT_EQ(FoundLine(index, u"a.txt", stamp, 80), 80);
  EXPECT_EQ(FoundLine(index, u"a.txt", stamp, 1'000'000), 80);
  EXPECT_EQ(FoundLine(index, u"a.txt", stamp, -1), std::nullopt);
  EXPECT_EQ(FoundLine(index, u"b.txt", stamp, 50), std::nullopt);
  // Another size or time: the file changed, and what was known of it goes.
  EXPECT_EQ(FoundLine(index, u"a.txt", {101, 5}, 50), std::nullopt);
  EXPECT_EQ(FoundLine(index, u"a.txt", stamp, 50), std::nullopt);
  index.Store(u"a.txt", Listed({100, 6}, {0, 30}));
  EXPECT_EQ(FoundLine(index, u"a.txt", {100, 5}, 50), std::nullopt);
  index.Store(u"a.txt", Listed({100, 6}, {0, 60}));  // a new listing replaces the old one
  EXPECT_EQ(FoundLine(index, u"a.txt", {100, 6}, 50), 0);
}

TEST(PageStartIndexTest, TheTextUsedLeastRecentlyGoesWhenFull) {
  PageStartIndex index(2);
  const platform::FileStamp stamp{1, 1};
  index.Store(u"a", Listed(stamp, {0}));
  index.Store(u"b", Listed(stamp, {0}));
  EXPECT_TRUE(FoundLine(index, u"a", stamp, 0));
  index.Store(u"c", Listed(stamp, {0}));
  EXPECT_TRUE(FoundLine(index, u"a", stamp, 0));
  EXPECT_FALSE(FoundLine(index, u"b", stamp, 0));
  EXPECT_TRUE(FoundLine(index, u"c", stamp, 0));
}

// Reads the lines as the measuring pass does: a break after every third
// line, and at a page limit the last break twice and no more reading.
TEST(PageStartRecorderTest, NotesTrueStartsOfPagesAndStaysBounded) {
  std::string bytes;
  for (int i = 0; i < 20000; ++i) bytes += std::to_string(i) + "\r\n";
  text::OpenedText opened = text::OpenTextStreamOver(text::MemoryBytes(bytes), nullptr);
  PageBreakList breaks{7, 7};  // what the pass replaces
  PageStartRecorder recorder(*opened.stream, breaks);
  breaks.assign(1, 0);
  text::LineBuffer line;
  for (std::int32_t lineNumber = 0; recorder.ReadLine(line); ++lineNumber) {
    if (lineNumber % 3 != 0 || lineNumber == 0) continue;
    breaks.push_back(lineNumber);
    if (lineNumber == 19998) {
      breaks.push_back(lineNumber);
      break;
    }
  }
  const std::vector<PageStart> starts = recorder.TakePageStarts();

  // 6,667 pages: past 4,096 only every second page start is kept.
  ASSERT_EQ(starts.size(), 3334u);
  for (std::size_t i = 0; i < starts.size(); ++i) {
    ASSERT_EQ(starts[i].line, static_cast<std::int32_t>(6 * i));
    text::OpenedText resumed = text::ResumeTextStreamOver(text::MemoryBytes(bytes), nullptr,
                                                          text::SplittingOf(*opened.stream), starts[i].start);
    ASSERT_TRUE(resumed.stream);
    ASSERT_TRUE(text::ReadTextLine(*resumed.stream, line));
    EXPECT_EQ(std::u16string(line.data()), text::Utf8ToUtf16(std::to_string(starts[i].line) + "\n"));
  }
}

class PageTurnTest : public ::testing::Test {
 protected:
  void SetUp() override {
#if defined(_WIN32)
    // Without a font named in an INI file Wine's DirectWrite lays out nothing;
    // the API tests compare pages there.
    GTEST_SKIP() << "the text engine needs a named font";
#endif
  }

  // The same bytes under the same name in two folders: the listed one is
  // measured, the other never is, so its pages are read from the start.
  struct Twins {
    std::u16string listed;
    std::u16string unlisted;
  };
  Twins WriteTwins(const std::string& bytes) {
    testing::WriteFile(listed_ / "story.txt", bytes);
    testing::WriteFile(unlisted_ / "story.txt", bytes);
    return {WidePath(listed_ / "story.txt"), WidePath(unlisted_ / "story.txt")};
  }

  // The member names of the pages that measuring lists.
  static std::vector<std::u16string> ListPages(std::u16string_view path) {
    PageBreakList breaks;
    const RenderOutcome outcome = RenderTextFile(path, nullptr, nullptr, RenderMode::Measure, &breaks);
    EXPECT_EQ(outcome.code, 0);
    std::vector<std::u16string> names;
    for (std::size_t i = 0; i < outcome.pageCount; ++i) {
      names.push_back(FormatMemberName(MemberStem(path), breaks[i], breaks[i + 1] - 1));
    }
    return names;
  }

  static std::string Page(std::u16string_view path, std::u16string_view name) {
    ArchiveEntryW entry{};
    std::copy(name.begin(), name.end(), entry.fileName);
    platform::HostBlock image;
    EXPECT_EQ(RenderPage(path, image, entry), 0);
    return std::string(reinterpret_cast<const char*>(image.bytes()), image.size());
  }

  static platform::FileStamp StampOf(std::u16string_view path) {
    return platform::InputFile::Open(path)->Stamp().value();
  }

  testing::TempFolder listed_;
  testing::TempFolder unlisted_;
};

TEST_F(PageTurnTest, PagesDrawnFromTheirStartsMatchPagesReadFromTheTextsStart) {
  // File lines of 3,000 units come in pieces of 1,023, and each piece fills
  // several rows of a page; a pair cut at a piece's end opens the next one.
  std::string longLines = "\xEF\xBB\xBF";
  for (int i = 0; i < 24; ++i) {
    longLines += std::string(1022, 'w') + "\xF0\x9F\x98\x80" + std::string(1970, 'w') + "\r\n";
  }
  const Twins twins = WriteTwins(longLines);
  const std::vector<std::u16string> names = ListPages(twins.listed);
  ASSERT_GT(names.size(), 3u);
  bool startsOnACutPair = false;
  for (const std::u16string& name : names) {
    EXPECT_EQ(Page(twins.listed, name), Page(twins.unlisted, name));
    const std::int32_t firstLine = LineRangeFromMemberName(twins.listed, name)->firstLine;
    const auto shortcut = SharedPageStartIndex().Find(twins.listed, StampOf(twins.listed), firstLine);
    ASSERT_TRUE(shortcut);
    EXPECT_EQ(shortcut->pageStart.line, firstLine);
    startsOnACutPair |= shortcut->pageStart.start.carriedUnit != 0;
  }
  EXPECT_TRUE(startsOnACutPair);
  // Lines between page starts read on from the start before them.
  const std::u16string within = FormatMemberName(MemberStem(twins.listed), 5, 6);
  EXPECT_EQ(Page(twins.listed, within), Page(twins.unlisted, within));
}

}  // namespace
}  // namespace folio::render
