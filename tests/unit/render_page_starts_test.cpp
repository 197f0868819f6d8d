// Page starts noted while measuring, and pages drawn from them: they must
// equal the pages drawn by reading the text from its start.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/unicode.h"
#include "platform/ansi_text_decoder.h"
#include "platform/files.h"
#include "render/page_starts.h"
#include "render/text_pages.h"
#include "support/temp_folder.h"
#include "support/test_files.h"
#include "text/byte_window.h"

namespace folio::render {
namespace {

using testing::WidePath;

// Reads the lines as the measuring pass does: a break after every third
// line, and at a page limit the last break twice and no more reading.
TEST(PageStartRecorderTest, NotesTrueStartsOfPagesAndStaysBounded) {
  std::string bytes;
  for (int i = 0; i < 20000; ++i) bytes += std::to_string(i) + "\r\n";
  text::OpenedText opened = text::OpenTextStreamOver(text::MemoryBytes(bytes), nullptr);
  PageStartRecorder recorder(*opened.stream, std::nullopt);
  text::TextLine line;
  for (std::int32_t lineNumber = 0; recorder.ReadLine(line); ++lineNumber) {
    if (lineNumber % 3 != 0 || lineNumber == 0) continue;
    recorder.PageBeginsAtLastLine(lineNumber, std::nullopt);
    if (lineNumber == 19998) {
      recorder.PageBeginsAtLastLine(lineNumber, std::nullopt);
      break;
    }
  }
  recorder.PageBeginsAtLastLine(5, std::nullopt);  // not the line read last: nothing to note
  const std::vector<PageStart> starts = recorder.TakePageStarts();

  // 6,667 pages: past 4,096 only every second page start is kept.
  ASSERT_EQ(starts.size(), 3334u);
  for (std::size_t i = 0; i < starts.size(); ++i) {
    ASSERT_EQ(starts[i].line, static_cast<std::int32_t>(6 * i));
    text::OpenedText resumed = text::ResumeTextStreamOver(text::MemoryBytes(bytes), nullptr,
                                                          text::SplittingOf(*opened.stream), starts[i].start);
    ASSERT_TRUE(resumed.stream);
    ASSERT_TRUE(text::ReadTextLine(*resumed.stream, line));
    EXPECT_EQ(line.units(), base::Utf8ToUtf16(std::to_string(starts[i].line) + "\n"));
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

  static MeasuredText Measure(std::u16string_view path) {
    auto file = platform::InputFile::Open(path);
    MeasuredText measured = MeasureText(text::FileBytes(*file), settings::RenderSettings{});
    EXPECT_EQ(measured.status, RenderStatus::Done);
    return measured;
  }

  // The page of `range`, read from `resume` or from the text's start.
  static std::string Page(std::u16string_view path, const LineRange& range,
                          const std::optional<ResumePoint>& resume) {
    auto file = platform::InputFile::Open(path);
    const DrawnPage drawn = DrawPage(*file, settings::RenderSettings{}, range, resume);
    EXPECT_EQ(drawn.status, RenderStatus::Done);
    return std::string(reinterpret_cast<const char*>(drawn.image.bytes()), drawn.image.size());
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
  const MeasuredText measured = Measure(twins.listed);
  ASSERT_GT(measured.pageCount, 3u);
  ASSERT_GE(measured.pageStarts.size(), measured.pageCount);  // and where a page after the limit would begin
  bool startsOnACutPair = false;
  for (std::uint32_t page = 0; page < measured.pageCount; ++page) {
    const PageStart& start = measured.pageStarts[page];
    ASSERT_EQ(start.line, measured.pageBreaks[page]);
    const LineRange range{start.line, measured.pageBreaks[page + 1] - 1};
    EXPECT_EQ(Page(twins.listed, range, ResumePoint{measured.splitting, start}),
              Page(twins.unlisted, range, std::nullopt));
    startsOnACutPair |= start.start.carriedUnit != 0;
  }
  EXPECT_TRUE(startsOnACutPair);
  // Lines between page starts read on from the start before them.
  EXPECT_EQ(Page(twins.listed, {5, 6}, ResumePoint{measured.splitting, measured.pageStarts[0]}),
            Page(twins.unlisted, {5, 6}, std::nullopt));
}

}  // namespace
}  // namespace folio::render
