// Drawn pages as a viewer receives them: where the glyphs lie, in which
// colour, and that every line a listing gives a page appears on it.
#include <algorithm>
#include <array>
#include <cstdlib>

#include "archive_fixture.h"

namespace folio::testing {
namespace {

// Heights of the runs of inked rows: one run for each line of text drawn.
std::vector<int> InkedBands(const std::vector<bool>& inked) {
  std::vector<int> bands;
  for (std::size_t y = 0; y < inked.size(); ++y) {
    if (!inked[y]) continue;
    if (y == 0 || !inked[y - 1]) bands.push_back(0);
    ++bands.back();
  }
  return bands;
}

// Capitals and digits only: no glyph reaches left of its origin or below its
// baseline, so every line's ink stands apart from the next one's.
std::u16string CapitalLines(int count, int wordsPerLine) {
  static constexpr std::u16string_view kWords[] = {u"HELLO", u"NUMBER", u"MEDIUM", u"BLUE", u"DIAL", u"HIRE"};
  std::u16string text;
  for (int line = 0; line < count; ++line) {
    const std::string number = std::to_string(1000 + line).substr(1);
    text.append(u"L").append(number.begin(), number.end());
    for (int word = 0; word < wordsPerLine; ++word) text.append(u" ").append(kWords[(line + word) % 6]);
    text.append(u"\n");
  }
  return text;
}

class RenderPagesTest : public ArchiveTest {};

TEST_F(RenderPagesTest, GlyphsStayInsideTheMargins) {
  UseSettings("BmpWidth=320\r\nBmpHeight=240\r\nMargin=20\r\nFontSize=14\r\nMaxPage=3\r\n");
  const auto text = WriteText("notes.txt", CapitalLines(40, 9));  // lines wrap at the box's width
  const Listing listing = ListW(text);
  ASSERT_EQ(listing.code, SUSIE_SUCCESS);
  ASSERT_EQ(listing.entries.size(), 3u);
  for (std::size_t position = 0; position < listing.entries.size(); ++position) {
    const Page page = ExtractW(text, static_cast<intptr_t>(position));
    ASSERT_EQ(page.code, SUSIE_SUCCESS);
    const PageImage image(page.bytes);
    const auto [left, top, right, bottom] = image.InkBounds({255, 255, 255});
    ASSERT_LT(left, right) << "page " << position << " shows nothing";
    EXPECT_GE(left, 20) << "page " << position;
    EXPECT_LT(left, 24) << "page " << position;  // text starts at the box's left edge
    EXPECT_GE(top, 20) << "page " << position;
    EXPECT_LE(right, 300) << "page " << position;
    EXPECT_GT(right, 260) << "page " << position;  // and wraps near its right edge
    EXPECT_LE(bottom, 220) << "page " << position;
  }
}

TEST_F(RenderPagesTest, EveryListedLineIsDrawnWhole) {
  UseSettings("BmpWidth=300\r\nBmpHeight=200\r\nMargin=12\r\nFontSize=15\r\nMaxPage=0\r\n");
  const int lines = 60;
  const auto text = WriteText("notes.txt", CapitalLines(lines, 1));  // one line each, no wrapping
  const Listing listing = ListW(text);
  ASSERT_EQ(listing.code, SUSIE_SUCCESS);
  ASSERT_GT(listing.entries.size(), 3u);
  int linesSeen = 0;
  for (std::size_t position = 0; position < listing.entries.size(); ++position) {
    const auto range = ParseMemberName(FieldText(listing.entries[position].fileName), u"notes");
    ASSERT_TRUE(range.has_value());
    const Page page = ExtractW(text, static_cast<intptr_t>(position));
    ASSERT_EQ(page.code, SUSIE_SUCCESS);
    const std::vector<int> bands = InkedBands(PageImage(page.bytes).InkedRows({255, 255, 255}));
    ASSERT_EQ(static_cast<int>(bands.size()), range->lastLine - range->firstLine + 1) << "page " << position;
    // Every line has the same capitals: a shorter one was cut off.
    const auto [lowest, tallest] = std::minmax_element(bands.begin(), bands.end());
    EXPECT_LE(*tallest - *lowest, 1) << "page " << position;
    linesSeen += static_cast<int>(bands.size());
  }
  EXPECT_EQ(linesSeen, lines);
}

TEST_F(RenderPagesTest, TextTakesTheFontColour) {
  struct Case {
    const char* settings;
    Rgb background;
    int fontLevel;
  };
  for (const Case& c : {Case{"FontColor=GRAY\r\n", {255, 255, 255}, 128},
                        Case{"FontColor=LIGHT_GRAY\r\nBGColor=black\r\n", {0, 0, 0}, 192},
                        Case{"FontColor=gray\r\nBGColor=DARK_GRAY\r\n", {64, 64, 64}, 255}}) {
    UseSettings(std::string("FontSize=24\r\n") + c.settings);
    const auto text = WriteText("notes.txt", u"HELLO THERE\nMINE\n");
    const Page page = ExtractW(text, 0);
    ASSERT_EQ(page.code, SUSIE_SUCCESS);
    const PageImage image(page.bytes);
    EXPECT_EQ(image.At(0, 0), c.background) << c.settings;
    // Glyph cores take the font colour (0.75 may round either way); their
    // edges blend into the background.
    auto isFontColour = [&](Rgb pixel) {
      return std::abs(pixel.red - c.fontLevel) <= 1 && pixel.green == pixel.red && pixel.blue == pixel.red;
    };
    bool fontColourSeen = false;
    for (int y = 0; y < 60; ++y) {
      for (int x = 0; x < 200; ++x) fontColourSeen |= isFontColour(image.At(x, y));
    }
    EXPECT_TRUE(fontColourSeen) << c.settings;
  }
}

TEST_F(RenderPagesTest, JapaneseTextIsDrawn) {
  UseSettings("FontSize=20\r\n", "Noto Sans CJK JP");
  std::u16string lines;
  for (int line = 0; line < 8; ++line) lines.append(u"吾輩は猫である。名前はまだ無い。\n");
  const auto text = WriteText("notes.txt", lines, Encoding::Utf16BE);
  const Page page = ExtractW(text, 0);
  ASSERT_EQ(page.code, SUSIE_SUCCESS);
  const PageImage image(page.bytes);
  EXPECT_GT(InkedBands(image.InkedRows({255, 255, 255})).size(), 5u);
}

// Vertical pages as a reader of Japanese books expects them: the first line
// in the column at the right edge, the next to its left, and Latin letters
// turned, each taking its own advance down the column, not a cell.
TEST_F(RenderPagesTest, VerticalColumnsRunFromTheRightAndTurnLatinLetters) {
  constexpr int kSize = 300, kMargin = 10, kFontSize = 20;
  UseSettings("Vertical=1\r\nBmpWidth=300\r\nBmpHeight=300\r\nMargin=10\r\nFontSize=20\r\n", "Noto Sans CJK JP");
  auto inkOf = [&](std::u16string_view lines) {
    static int texts = 0;
    const Page page = ExtractW(WriteText("notes" + std::to_string(++texts) + ".txt", lines), 0);
    EXPECT_EQ(page.code, SUSIE_SUCCESS);
    return PageImage(page.bytes).InkBounds({255, 255, 255});
  };
  const auto [left, top, right, bottom] = inkOf(u"吾輩は猫である。\n");
  ASSERT_LT(left, right) << "the page shows nothing";
  // A column is a line advance wide, 1.45 times the font size in this font.
  EXPECT_GT(left, kSize - kMargin - 1.5 * kFontSize);
  EXPECT_LE(right, kSize - kMargin);
  EXPECT_GE(top, kMargin);
  EXPECT_GT(bottom - top, 7 * kFontSize);  // eight cells down
  const auto two = inkOf(u"吾輩は猫である。\n名前はまだ無い。\n");
  EXPECT_LT(two[0], left - kFontSize) << "the second line stands left of the first";
  EXPECT_EQ(two[2], right);
  // Ten capitals turned take their letters' advances: less than ten cells.
  const auto latin = inkOf(u"ABCDEFGHIJ\n");
  EXPECT_LT(latin[3] - latin[1], 9 * kFontSize);
  EXPECT_GT(latin[3] - latin[1], 4 * kFontSize);
  EXPECT_LT(latin[2] - latin[0], kFontSize) << "turned, the letters stand as high as a cell is wide";
}

#if defined(_WIN32)
TEST_F(RenderPagesTest, ManyCallsLeaveTheGdiObjectCountAlone) {
  const auto text = WriteText("notes.txt", CapitalLines(200, 3));
  auto gdiObjects = [] { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); };
  ExtractW(text, 0);
  const DWORD before = gdiObjects();
  for (int round = 0; round < 4; ++round) {
    ASSERT_EQ(ListW(text).code, SUSIE_SUCCESS);
    EXPECT_EQ(ExtractW(text, round % 2).code, SUSIE_SUCCESS);
  }
  EXPECT_EQ(gdiObjects(), before);
}
#endif

}  // namespace
}  // namespace folio::testing
