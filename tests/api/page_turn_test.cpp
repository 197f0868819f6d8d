// Pages extracted after a listing start reading where the listing found the
// page to begin.  Moving the file's last-write time forward makes the plug-in
// read the same bytes from the start instead (the listing stays cached), so
// the pages before and after must be equal.
#include <chrono>

#include "archive_fixture.h"

namespace folio::testing {
namespace {

class PageTurnTest : public ArchiveTest {
 protected:
  // Pages at these positions, as extracted now.
  static std::vector<std::string> Pages(const std::filesystem::path& text,
                                        const std::vector<intptr_t>& positions) {
    std::vector<std::string> pages;
    for (intptr_t position : positions) {
      Page page = ExtractW(text, position);
      EXPECT_EQ(page.code, SUSIE_SUCCESS) << position;
      pages.push_back(std::move(page.bytes));
    }
    return pages;
  }

  static void Touch(const std::filesystem::path& text) {
    std::filesystem::last_write_time(text, std::filesystem::last_write_time(text) + std::chrono::seconds(2));
  }
};

// Ideographs and kana in Shift_JIS, with CR LF line ends.
std::string ShiftJisLines(int count) {
  std::string bytes;
  for (int i = 0; i < count; ++i) bytes += std::to_string(i) + " \x82\xA0\x82\xA2\x8A\xBF\x8E\x9A\r\n";
  return bytes;
}

TEST_F(PageTurnTest, PagesMatchThoseReadFromTheStartInEveryEncoding) {
  UseSettings("MaxPage=0\r\n", "Noto Sans CJK JP");
  // File lines of 2,500 units come in pieces of 1,023, so pages begin inside them.
  std::u16string japanese;
  for (int i = 0; i < 300; ++i) {
    japanese += u"吾輩は猫である。名前はまだ無い。";
    japanese += std::u16string(i % 7, u'〇');
    japanese += u"\r\n";
  }
  std::u16string longLines;
  for (int i = 0; i < 30; ++i) {
    for (int word = 0; word < 500; ++word) longLines += u"word ";
    longLines += u"\r\n";
  }
  struct Case {
    const char* name;
    std::filesystem::path path;
  };
  const Case cases[] = {
      {"utf-16be", WriteText("big.txt", japanese, Encoding::Utf16BE)},
      {"utf-8 long lines", WriteText("long.txt", longLines, Encoding::Utf8)},
      {"shift_jis", texts_ / "sjis.txt"},
  };
  WriteFile(texts_ / "sjis.txt", ShiftJisLines(300));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Listing listing = ListW(c.path);
    ASSERT_EQ(listing.code, SUSIE_SUCCESS);
    const auto pages = static_cast<intptr_t>(listing.entries.size());
    ASSERT_GT(pages, 3);
    const std::vector<intptr_t> positions{1, pages / 2, pages - 1};
    const std::vector<std::string> turned = Pages(c.path, positions);
    Touch(c.path);
    EXPECT_EQ(turned, Pages(c.path, positions));
  }
}

TEST_F(PageTurnTest, NewSettingsDrawTheListedLinesAsReadFromTheStart) {
  const auto text = WriteText("story.txt", NumberedLines(400));
  const Listing listing = ListW(text);
  ASSERT_EQ(listing.code, SUSIE_SUCCESS);
  ASSERT_GT(listing.entries.size(), 3u);
  UseSettings("BmpHeight=300\r\nFontSize=12\r\nMargin=10\r\n");
  const std::vector<std::string> turned = Pages(text, {2, 3});
  Touch(text);
  EXPECT_EQ(turned, Pages(text, {2, 3}));
}

// Notes carry on from line to line: a page drawn from where it begins reads
// on as if it had read every line before it, whichever notation listed it,
// with the characters that notes name (one beyond the BMP, one of two code
// points) in its lines.
TEST_F(PageTurnTest, NotesCarryOnIntoPagesDrawnFromTheirStarts) {
  std::u16string novel;
  for (int chapter = 0; chapter < 12; ++chapter) {
    novel += u"［＃５字下げ］第" + std::u16string(1, static_cast<char16_t>(u'一' + chapter)) + u"章\n";
    novel += u"［＃ここから２字下げ］\n";  // a block that runs over several pages
    for (int line = 0; line < 30; ++line) {
      novel +=
          u"吾輩《わがはい》は猫である。名前はまだ無い。｜一番《いちばん》獰悪［＃「獰悪」に傍点］な種族。"
          u"※［＃「口＋七」、第3水準1-47-52］《しか》られ"
          u"※［＃「か」に半濁点、1-4-87］※［＃「口＋世」、U+546D］。\n";
    }
    novel += u"［＃ここで字下げ終わり］\n［＃改ページ］\n";
  }
  const auto text = WriteText("novel.txt", novel);
  for (const char* listedWith : {"Notation=aozora\r\n", "Notation=none\r\n"}) {
    SCOPED_TRACE(listedWith);
    UseSettings(std::string(listedWith) + "MaxPage=0\r\nFontSize=14\r\n", "Noto Sans CJK JP");
    const Listing listing = ListW(text);
    ASSERT_EQ(listing.code, SUSIE_SUCCESS);
    const auto pages = static_cast<intptr_t>(listing.entries.size());
    ASSERT_GT(pages, 12);
    UseSettings("Notation=aozora\r\nMaxPage=0\r\nFontSize=14\r\n", "Noto Sans CJK JP");
    const std::vector<intptr_t> positions{1, 2, pages / 2, pages - 1};
    const std::vector<std::string> turned = Pages(text, positions);
    Touch(text);
    EXPECT_EQ(turned, Pages(text, positions));
  }
}

TEST_F(PageTurnTest, AFileRewrittenToTheSameSizeIsReadFromTheStart) {
  const std::u16string before = NumberedLines(400);
  // The same size, with lines 1 to 300 two bytes further on.
  const std::size_t firstEnd = before.find(u"\nLine 0001"), cut = before.find(u"story\nLine 0301");
  const std::u16string after =
      before.substr(0, firstEnd) + u"!!" + before.substr(firstEnd, cut - firstEnd) + before.substr(cut + 2);
  const auto text = WriteText("story.txt", before);
  const Listing listing = ListW(text);
  ASSERT_EQ(listing.code, SUSIE_SUCCESS);
  const auto listedTime = std::filesystem::last_write_time(text);
  WriteText("story.txt", after);
  std::filesystem::last_write_time(text, listedTime + std::chrono::seconds(2));
  // Extracted before any other listing clears the cached one.
  const std::vector<std::string> rewritten = Pages(text, {1, 2});
  // A twin of the new text, listed as it is: its pages hold the same lines.
  std::filesystem::create_directory(texts_ / "twin");
  const auto twin = WriteText("twin/story.txt", after);
  const Listing twinListing = ListW(twin);
  ASSERT_EQ(twinListing.code, SUSIE_SUCCESS);
  ASSERT_GT(twinListing.entries.size(), 2u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(FieldText(twinListing.entries[i].fileName), FieldText(listing.entries[i].fileName));
  }
  EXPECT_EQ(rewritten, Pages(twin, {1, 2}));
}

}  // namespace
}  // namespace folio::testing
