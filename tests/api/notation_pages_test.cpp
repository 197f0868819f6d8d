// Pages of texts in the style of Japanese e-texts, with Notation=aozora:
// readings over their bases, no markup on the page, and pages that end where
// the notes say.
#include <algorithm>
#include <array>

#include "archive_fixture.h"

namespace folio::testing {
namespace {

constexpr int kFontSize = 20;
constexpr int kMargin = 10;
constexpr int kPageWidth = 410;  // 19 full-width characters to a line

class NotationPagesTest : public ArchiveTest {
 protected:
  // `first` comes before the defaults, which it overrides.  Vertical pages
  // are the horizontal ones turned: their columns as long as the lines.
  void UseNotation(std::string_view first = "", bool vertical = false) {
    const std::string across = std::to_string(kPageWidth), down = "200";
    UseSettings(std::string(first) + "Notation=aozora\r\nFontSize=" + std::to_string(kFontSize) +
                    "\r\nMargin=" + std::to_string(kMargin) + "\r\nBmpWidth=" + (vertical ? down : across) +
                    "\r\nBmpHeight=" + (vertical ? across : down) + "\r\nMaxPage=0\r\n" +
                    (vertical ? "Vertical=1\r\n" : ""),
                "Noto Sans CJK JP");
  }

  // The first page of a text of one line.
  PageImage FirstPage(std::u16string_view line) {
    const auto text = WriteText("line.txt", std::u16string(line) + u"\n");
    const Page page = ExtractW(text, 0);
    EXPECT_EQ(page.code, SUSIE_SUCCESS);
    return PageImage(page.bytes);
  }

  // The names of a text's pages.
  std::vector<std::u16string> PageNames(std::u16string_view text) {
    const auto path = WriteText("story.txt", text);
    const Listing listing = ListW(path);
    EXPECT_EQ(listing.code, SUSIE_SUCCESS);
    std::vector<std::u16string> names;
    for (const ArchiveEntryW& entry : listing.entries) names.push_back(FieldText(entry.fileName));
    return names;
  }
};

struct Box {
  int left, top, right, bottom;
  explicit Box(const std::array<int, 4>& bounds)
      : left(bounds[0]), top(bounds[1]), right(bounds[2]), bottom(bounds[3]) {}
  bool empty() const { return left >= right; }
  int centre() const { return (left + right) / 2; }
};

// Each line with markup is drawn as the same line without it, plus the
// readings: what differs lies over the base, above its ink (a bracket or a
// reading drawn in the line would differ there), inside the text's width;
// on vertical pages right of the base's ink, inside the column's length.
TEST_F(NotationPagesTest, ReadingsLieAboveTheirBasesAndNoMarkupIsDrawn) {
  struct Case {
    const char* what;
    std::u16string_view marked;
    std::u16string_view plain;  // as drawn without its readings
    // The plain line with the base's part on its first line left blank.
    std::u16string_view baseBlanked;
  };
  const Case cases[] = {
      {"kanji before a reading", u"あの吾輩《わがはい》は猫", u"あの吾輩は猫", u"あの　　は猫"},
      {"a base marked with ｜", u"一番｜獰悪《どうあく》な種族", u"一番獰悪な種族", u"一番　　な種族"},
      {"emphasis dots", u"この書生［＃「書生」に傍点］という", u"この書生という", u"この　　という"},
      {"a reading wider than its base, at the line's start", u"猫《ねこねこねこねこねこ》がいる", u"猫がいる",
       u"　がいる"},
      {"a base that wraps onto the next line", u"あいうえおかきくけこさしすせそたちつ吾輩《わがはい》です",
       u"あいうえおかきくけこさしすせそたちつ吾輩です", u"あいうえおかきくけこさしすせそたちつ　輩です"},
      {"a note to drop", u"吾輩は［＃「吾輩」は太字］猫", u"吾輩は猫", u"吾輩は猫"},
      {"characters named by notes, and a ※ whose note names none",
       u"※［＃「口＋世」、U+546D、56-3］と※［＃「口＋七」、第3水準1-47-52］と"
       u"※［＃「か」に半濁点、1-4-87］と※［＃「木＋吶のつくり」］",
       u"呭と𠮟とか\u309Aと※", u"呭と𠮟とか\u309Aと※"},
  };
  for (const bool vertical : {false, true}) {
    UseNotation("", vertical);
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.what) + (vertical ? ", vertical" : ""));
      const PageImage marked = FirstPage(c.marked);
      const PageImage plain = FirstPage(c.plain);
      const Box reading(marked.DifferenceBounds(plain));
      const Box base(plain.DifferenceBounds(FirstPage(c.baseBlanked)));
      if (base.empty()) {
        EXPECT_TRUE(reading.empty()) << "a note was drawn";
        continue;
      }
      ASSERT_FALSE(reading.empty()) << "no reading drawn";
      // Along the line or column: the reading's start and end, and its base's.
      const int start = vertical ? reading.top : reading.left, end = vertical ? reading.bottom : reading.right;
      const int baseStart = vertical ? base.top : base.left, baseEnd = vertical ? base.bottom : base.right;
      if (vertical) {
        EXPECT_GE(reading.left, base.right);
      } else {
        EXPECT_LE(reading.bottom, base.top);
      }
      // A reading's cells stay in the column; their ink's anti-aliasing may
      // touch the pixel beyond (Wine's Direct2D).
      const int bleed = vertical ? 1 : 0;
      EXPECT_GE(start, kMargin - bleed);
      EXPECT_LE(end, kPageWidth - kMargin + bleed);
      // Centred along the base, unless the text's edge holds it back.
      const bool atAnEdge = start <= kMargin + 1 || end >= kPageWidth - kMargin - 1;
      EXPECT_TRUE(std::abs((start + end) / 2 - (baseStart + baseEnd) / 2) <= kFontSize / 2 ||
                  (atAnEdge && start < baseEnd && baseStart < end))
          << "reading " << start << "-" << end << ", base " << baseStart << "-" << baseEnd;
    }
  }
}

TEST_F(NotationPagesTest, PagesEndAfterPageEndNotes) {
  UseNotation();
  const std::u16string text =
      u"第一章\n本文［＃改ページ］\n第二章\n［＃改丁］\n第三章\n［＃改見開き］\n［＃改ページ］\n第四章\n";
  // A page of notes alone would be blank: the last note ends no page.
  EXPECT_EQ(PageNames(text), (std::vector<std::u16string>{u"story000-001.bmp", u"story002-003.bmp",
                                                          u"story004-005.bmp", u"story006-007.bmp"}));
  // The page limit counts them alike.
  UseNotation("MaxPage=2\r\n");
  EXPECT_EQ(PageNames(text).size(), 2u);
  // Without notation the notes are text.
  UseSettings("MaxPage=0\r\nNotation=none\r\n", "Noto Sans CJK JP");
  EXPECT_EQ(PageNames(text), std::vector<std::u16string>{u"story000-007.bmp"});
}

}  // namespace
}  // namespace folio::testing
