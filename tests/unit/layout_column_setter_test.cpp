// Paragraphs set in vertical columns: which characters stand together, how
// turned runs take their advances, and where columns break.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/unicode.h"
#include "layout/column_setter.h"

namespace folio::layout {
namespace {

constexpr float kCell = 10;

// Every unit of a turned run advances 3 pixels.
class FixedAdvances final : public RunAdvances {
 public:
  std::optional<float> Advance(std::u16string_view run) override { return 3.0f * run.size(); }
};

// The columns as text: "|" between columns, [turned] and {across} pieces,
// "_" for a blank cell.
std::string Columns(const ColumnSetter& setter, std::u16string_view paragraph) {
  std::u16string out;
  for (const ColumnSpan& column : setter.Columns()) {
    if (!out.empty()) out += u'|';
    for (std::uint32_t index = column.firstPiece; index < column.endPiece; ++index) {
      const ColumnPiece& piece = setter.Pieces()[index];
      const std::u16string_view units = paragraph.substr(piece.start, piece.length);
      switch (piece.kind) {
        case PieceKind::Upright: out.append(units); break;
        case PieceKind::Across: out.append(u"{").append(units).append(u"}"); break;
        case PieceKind::Turned: out.append(u"[").append(units).append(u"]"); break;
        case PieceKind::Blank: out.append(u"_"); break;
      }
    }
  }
  return base::Utf16ToUtf8(out);
}

TEST(ColumnSetterTest, PiecesAndBreaks) {
  struct Case {
    const char* what;
    std::u16string paragraph;
    float columnCells;
    float indentCells;
    const char* columns;
  };
  const Case cases[] = {
      {"cells fill columns", u"あいうえおかきくけこさ", 5, 0, "あいうえお|かきくけこ|さ"},
      {"、 and 。 hang below a full column", u"あいうえお。かき", 5, 0, "あいうえお。|かき"},
      {"but not before what can't begin a column", u"あいうえお。」かき", 5, 0, "あいうえ|お。」かき"},
      {"a closing bracket takes the character before it along", u"あいうえお」かき", 5, 0, "あいうえ|お」かき"},
      {"a small kana too", u"あいうえおゃか", 5, 0, "あいうえ|おゃか"},
      {"and the prolonged sound mark", u"あいうえおーか", 5, 0, "あいうえ|おーか"},
      {"an opening bracket ends no column", u"あいうえ「おか」", 5, 0, "あいうえ|「おか」"},
      {"a doubled leader stays whole", u"あいうえ……か", 5, 0, "あいうえ|……か"},
      {"a doubled dash too", u"あいうえ――か", 5, 0, "あいうえ|――か"},
      {"and the repetition mark's two halves", u"あいうえ〳〵か", 5, 0, "あいうえ|〳〵か"},
      {"where nothing may break, a full column breaks", u"」」」」」」」", 5, 0, "」」」」」|」」"},
      {"a turned word takes its letters' advances", u"あHelloい", 5, 0, "あ[Hello]い"},
      {"a word that doesn't fit moves whole", u"あいうえHello", 5, 0, "あいうえ|[Hello]"},
      {"words break at spaces, which hang", u"Hello world again", 3, 0, "[Hello][ ]|[world][ ]|[again]"},
      {"a word longer than a column is cut", u"abcdefghijklmnopqrst", 5, 0, "[abcdefghijklmnop]|[qrst]"},
      {"one or two digits alone stand across", u"第12回と3日", 5, 0, "第{12}回と{3}|日"},
      {"more digits are turned", u"2026年", 5, 0, "[2026]年"},
      {"digits in a word are turned with it", u"あA12い", 5, 0, "あ[A12]い"},
      {"marks, pairs and selectors stay in a cell", u"か\u3099𠀋葛\U000E0100\xD800", 5, 0,
       "か\u3099𠀋葛\U000E0100\uFFFD"},  // a lone surrogate reads as U+FFFD here
      {"a control character is a blank cell", u"あ\tい", 5, 0, "あ_い"},
      {"an indent shortens every column", u"あいうえおか", 5, 2, "あいう|えおか"},
      {"an empty paragraph is one empty column", u"", 5, 0, ""},
      {"a column shorter than a cell holds one", u"あい", 0.5f, 0, "あ|い"},
  };
  FixedAdvances advances;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ColumnSetter setter(advances, kCell, c.columnCells * kCell);
    ASSERT_TRUE(setter.Set(c.paragraph, c.indentCells * kCell));
    EXPECT_EQ(Columns(setter, c.paragraph), c.columns);
    EXPECT_GE(setter.Columns().size(), 1u);
  }
}

TEST(ColumnSetterTest, TurnedRunsAdvanceByTheirLettersAndCellsByTheFontSize) {
  FixedAdvances advances;
  ColumnSetter setter(advances, kCell, 100);
  ASSERT_TRUE(setter.Set(u"漢字Tokyo漢", 20));
  const std::vector<ColumnPiece>& pieces = setter.Pieces();
  ASSERT_EQ(pieces.size(), 4u);
  EXPECT_EQ(pieces[2].offset, 40);   // the indent and two cells
  EXPECT_EQ(pieces[2].advance, 15);  // five letters, not five cells
  EXPECT_EQ(pieces[3].offset, 55);
  EXPECT_EQ(setter.ColumnOf(3), 0u);
  EXPECT_EQ(setter.PieceAt(4), 2u);  // inside the word
}

// Wherever 、。」ー, a small kana and the other characters that may not
// begin a column fall, no column but a paragraph's first begins with one,
// none ends with an opening bracket, and only 、 or 。 hang past the end.
TEST(ColumnSetterTest, NoColumnBeginsWithWhatMayNotBeginOne) {
  const std::u16string noStart = u"、。」』）ーゃュッ々ゝ！？・：";
  const std::u16string marks = noStart + u"「（";
  FixedAdvances advances;
  for (int cells = 2; cells <= 7; ++cells) {
    ColumnSetter setter(advances, kCell, cells * kCell);
    for (const char16_t mark : marks) {
      for (int before = 0; before <= 2 * cells + 1; ++before) {
        std::u16string paragraph(static_cast<std::size_t>(before), u'漢');
        paragraph.append(1, mark).append(u"字と漢字」。漢字");
        ASSERT_TRUE(setter.Set(paragraph, 0));
        const auto& columns = setter.Columns();
        for (std::size_t column = 0; column < columns.size(); ++column) {
          const ColumnPiece& first = setter.Pieces()[columns[column].firstPiece];
          const ColumnPiece& last = setter.Pieces()[columns[column].endPiece - 1];
          const std::string where = base::Utf16ToUtf8(paragraph) + ", " + std::to_string(cells) +
                                    " cells, column " + std::to_string(column);
          if (column > 0) {
            EXPECT_EQ(noStart.find(paragraph[first.start]), std::u16string::npos) << where;
          }
          if (column + 1 < columns.size()) {
            EXPECT_NE(paragraph[last.start], u'「') << where;
            EXPECT_NE(paragraph[last.start], u'（') << where;
          }
          const bool hung = last.offset + last.advance > cells * kCell;
          if (hung) {
            EXPECT_TRUE(last.hangs) << where;
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace folio::layout
