// Lines of an Aozora-style e-text as they will be laid out: markup read,
// broken markup drawn as it is, the header and closing block left alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "text/aozora_notation.h"

namespace folio::text {
namespace {

// UTF-8 for readable failure messages.
std::string Utf8(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size())
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    const int trailBytes = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    static constexpr char32_t kLeadMarks[] = {0, 0xC0, 0xE0, 0xF0};
    out += static_cast<char>(kLeadMarks[trailBytes] | c >> (6 * trailBytes));
    for (int k = trailBytes - 1; k >= 0; --k) out += static_cast<char>(0x80 | (c >> (6 * k) & 0x3F));
  }
  return out;
}

// A line as one readable string: <base:reading> for a ruby, {…} for dots,
// "2>" in front for an indent, " /page" after a page end.
std::string Describe(const AozoraLine& line) {
  // Keyed by four times the position: ends before starts, dots around a ruby.
  std::vector<std::pair<std::size_t, std::u16string>> marks;
  for (const AozoraRuby& ruby : line.rubies) {
    marks.push_back({4 * ruby.base.start + 3, u"<"});
    // Built by appending: GCC 12 warns falsely (-Wrestrict) of a literal + a temporary string at -O3.
    std::u16string reading(u":");
    reading.append(line.Reading(ruby)).append(u">");
    marks.push_back({4 * (ruby.base.start + ruby.base.length), std::move(reading)});
  }
  for (const AozoraTextRange& dots : line.emphasis) {
    marks.push_back({4 * dots.start + 2, u"{"});
    marks.push_back({4 * (dots.start + dots.length) + 1, u"}"});
  }
  std::stable_sort(marks.begin(), marks.end(), [](auto& a, auto& b) { return a.first < b.first; });
  std::u16string text = line.text;
  for (auto mark = marks.rbegin(); mark != marks.rend(); ++mark) text.insert(mark->first / 4, mark->second);
  std::string described = line.indent ? std::to_string(line.indent) + ">" : "";
  return described + Utf8(text) + (line.pageEndsAfter ? " /page" : "");
}

// Reads lines in order from a body state; returns each one described.
std::vector<std::string> ReadBody(
    const std::vector<std::u16string>& lines,
    AozoraNotationReader::RepetitionMarks marks = AozoraNotationReader::RepetitionMarks::AsWritten) {
  AozoraNotationReader reader(AozoraLineState{.part = AozoraLineState::Part::Body}, marks);
  AozoraLine line;
  std::vector<std::string> described;
  for (const std::u16string& source : lines) {
    reader.Read(source, line);
    described.push_back(Describe(line));
  }
  return described;
}

std::string ReadBodyLine(const std::u16string& source) {
  return ReadBody({source}).front();
}

TEST(AozoraNotationTest, ReadsRubyNotesAndPageEnds) {
  const struct {
    std::u16string source;
    std::string expected;
  } rows[] = {
      {u"吾輩《わがはい》は猫である。\r\n", "<吾輩:わがはい>は猫である。\r\n"},
      {u"人間中で一番｜獰悪《どうあく》な種族\n", "人間中で一番<獰悪:どうあく>な種族\n"},
      {u"まるで｜猫の額《ねこのひたい》ほど", "まるで<猫の額:ねこのひたい>ほど"},
      {u"時々《ときどき》我々《われわれ》を〆切《しめきり》まで三ヶ月《さんかげつ》",
       "<時々:ときどき><我々:われわれ>を<〆切:しめきり>まで<三ヶ月:さんかげつ>"},
      {u"二〇三高地《にひゃくさんこうち》", "<二〇三高地:にひゃくさんこうち>"},
      {u"𠮟《しか》られた𠀋𠀋《じょうじょう》", "<𠮟:しか>られた<𠀋𠀋:じょうじょう>"},
      {u"の猫《ねこねこねこねこ》が", "の<猫:ねこねこねこねこ>が"},
      {u"漢字《かん［＃ママ］じ》です", "<漢字:かんじ>です"},
      {u"［＃８字下げ］一［＃「一」は中見出し］\n", "8>一\n"},
      {u"［＃3字下げ］見出し［＃「見出し」は大見出し］", "3>見出し"},
      {u"［＃１２字下げ］終", "12>終"},
      {u"書生という書生［＃「書生」に傍点］の顔", "書生という{書生}の顔"},
      {u"吾輩《わがはい》だ［＃「吾輩」に傍点］", "{<吾輩:わがはい>}だ"},
      {u"吾輩は※［＃「口＋它」、第3水準1-14-88］［＃「※［＃「口＋它」、第3水準1-14-88］」に傍点］", "吾輩は{咜}"},
      {u"［＃「猫」に傍点］猫と犬［＃「鼠」に傍点］", "猫と犬"},
      {u"［＃改ページ］\r\n", "\r\n /page"},
      {u"終わり［＃改丁］\n", "終わり\n /page"},
      {u"［＃改見開き］", " /page"},
      {u"［＃［＃改ページ］", "［＃ /page"},  // the inner note is whole, the outer one never closes
      // A ※ before a note that names a character's code is that character.
      {u"※［＃「口＋它」、第3水準1-14-88］と言った", "咜と言った"},
      {u"※［＃「さんずい＋首」、第4水準2-78-78］", "渞"},
      {u"※［＃感嘆符二つ、1-8-75］", "‼"},
      {u"※［＃「口＋七」、U+20B9F、56-3］《しか》る", "<𠮟:しか>る"},
      {u"※［＃「口＋世」、第3水準1-14-88、U+546D］", "呭"},  // U+ wins
      {u"※［＃「か」に半濁点、1-4-87］※［＃「ae」に重アクセント、1-11-36］", "か\u309Aæ\u0300"},
      {u"※［＃「口＋世」、U+D800、1-14-88］", "咜"},  // a surrogate is no code
      {u"｜※［＃「口＋世」、U+546D］の字《じ》", "<呭の字:じ>"},
      {u"※※［＃「口＋世」、U+546D］", "※呭"},
      // Named by a description or a page and line only, a bad code, an empty cell.
      {u"※［＃「木＋吶のつくり」］と※［＃「てへん＋劣」、199-上-1］", "※と※"},
      {u"※［＃U+110000］※［＃U+0085］※［＃U+12］※［＃3-1-1］※［＃1-95-1］※［＃2-2-1］", "※※※※※※"},
      {u"※ ［＃「口＋世」、U+546D］※印", "※ ※印"},  // not right after ※
  };
  for (const auto& row : rows) EXPECT_EQ(ReadBodyLine(row.source), row.expected) << Utf8(row.source);
}

// In columns, ／＼ and ／″＼ stand as the two halves of the repetition mark,
// wherever the text is drawn: in the line, in readings, in what a 傍点 names.
TEST(AozoraNotationTest, RepetitionMarksStandAsTheirHalvesInColumns) {
  const std::u16string line = u"いよ／＼大変だ、ぶら／″＼と｜歩／＼《あゆみ／＼》、しみ／＼と［＃「しみ／＼」に傍点］。／と＼\n";
  EXPECT_EQ(ReadBody({line}, AozoraNotationReader::RepetitionMarks::Vertical).front(),
            "いよ〳〵大変だ、ぶら〴〵と<歩〳〵:あゆみ〳〵>、{しみ〳〵}と。／と＼\n");
  EXPECT_EQ(ReadBody({line}).front(), "いよ／＼大変だ、ぶら／″＼と<歩／＼:あゆみ／＼>、{しみ／＼}と。／と＼\n");
}

TEST(AozoraNotationTest, DrawsBrokenMarkupAsItIs) {
  const std::u16string rows[] = {
      u"吾輩《わがはい　閉じない読み\n",
      u"本文［＃改ページ　閉じない注記\n",
      u"猫《》である",
      u"｜猫である。読みが続かない",
      u"｜猫《》である",
      u"ねこ《ねこ》である",
      u"《よみ》で始まる",
      u"｜《よみ》",
      u"漢字《あ《い》",
      u"閉じだけ》と］",
  };
  for (const std::u16string& row : rows) EXPECT_EQ(ReadBodyLine(row), Utf8(row));

  // A long line comes in 1,023-unit pieces; this one is cut inside a reading
  // and keeps its own indent across the cut.
  const std::u16string head = u"［＃２字下げ］" + std::u16string(1023 - 7 - 6, u'あ') + u"吾輩《わがは";
  ASSERT_EQ(head.size(), 1023u);
  const std::vector<std::string> pieces = ReadBody({head, u"い》は猫である。\n", u"次の行\n"});
  EXPECT_EQ(pieces[0], "2>" + Utf8(head.substr(7)));
  EXPECT_EQ(pieces[1], "2>い》は猫である。\n");
  EXPECT_EQ(pieces[2], "次の行\n");
}

TEST(AozoraNotationTest, IndentBlocksCarryAcrossLinesAndLineNotesReplaceThem) {
  const std::vector<std::string> indents = ReadBody({
      u"［＃ここから２字下げ］\n",
      u"ゆく河の流れは絶えずして\n",
      u"［＃４字下げ］見出し\n",
      u"［＃0字下げ］左端\n",
      u"結び［＃ここで字下げ終わり］\n",
      u"地の文\n",
      u"［＃ここから 3字下げ、折り返して４字下げ］歌\n",
      u"［＃ここで字下げ終わり］地の文\n",
      u"［＃ここから二字下げ］漢数字は読まない\n",
  });
  EXPECT_EQ(indents,
            (std::vector<std::string>{"2>\n", "2>ゆく河の流れは絶えずして\n", "4>見出し\n", "左端\n", "2>結び\n",
                                      "地の文\n", "3>歌\n", "地の文\n", "漢数字は読まない\n"}));
}

// A text as the e-text library lays it out, read whole.
const std::vector<std::u16string> kWholeText = {
    u"吾輩は猫である\n",
    u"夏目漱石\n",
    u"\n",
    u"-------------------------------------------------------\n",
    u"【テキスト中に現れる記号について】\n",
    u"《》：ルビ（例）吾輩《わがはい》\n",
    u"［＃］：入力者注（例）［＃改ページ］\n",
    u"-------------------------------------------------------\n",
    u"［＃ここから２字下げ］\n",
    u"吾輩《わがはい》は猫である。\n",
    u"［＃改ページ］\n",
    u"底本：「吾輩は猫である」［＃改ページ］\n",
    u"入力：吾輩《わがはい》\n",
};

TEST(AozoraNotationTest, HeaderAndClosingBlockStayPlainText) {
  AozoraNotationReader reader;
  AozoraLine line;
  std::vector<std::string> described;
  for (const std::u16string& source : kWholeText) {
    reader.Read(source, line);
    described.push_back(Describe(line));
  }
  std::vector<std::string> expected;
  for (const std::u16string& source : kWholeText) expected.push_back(Utf8(source));
  expected[8] = "2>\n";
  expected[9] = "2><吾輩:わがはい>は猫である。\n";
  expected[10] = "2>\n /page";
  EXPECT_EQ(described, expected);

  // Without a header near the top, a line of hyphens is only text.
  std::vector<std::u16string> noHeader(25, u"本文\n");
  noHeader.push_back(u"----------\n");
  noHeader.push_back(u"吾輩《わがはい》\n");
  AozoraNotationReader plainReader;
  for (const std::u16string& source : noHeader) plainReader.Read(source, line);
  EXPECT_EQ(Describe(line), "<吾輩:わがはい>\n");
}

// Also from the state's bytes, as a page index file keeps them.
TEST(AozoraNotationTest, ReadingResumesAtAnyLineFromItsState) {
  std::vector<std::u16string> lines = kWholeText;
  lines.insert(lines.begin() + 9, u"［＃２字下げ］" + std::u16string(1016, u'あ'));  // cut: continues
  AozoraNotationReader whole;
  AozoraLine expected, resumed;
  for (const std::u16string& source : lines) {
    const AozoraLineState before = whole.State();
    whole.Read(source, expected);
    const std::optional<AozoraLineState> kept = DecodeAozoraLineState(EncodeAozoraLineState(before));
    ASSERT_TRUE(kept);
    AozoraNotationReader fromState(*kept);
    fromState.Read(source, resumed);
    EXPECT_EQ(Describe(resumed), Describe(expected));
    EXPECT_EQ(fromState.State(), whole.State());
  }
  EXPECT_EQ(whole.State().part, AozoraLineState::Part::Closing);
  std::string bytes = EncodeAozoraLineState(whole.State());
  EXPECT_FALSE(DecodeAozoraLineState(bytes.substr(1)));
  for (const std::size_t at : {0, 1}) {  // an unknown part, a flag neither 0 nor 1
    std::string bad = bytes;
    bad[at] = 7;
    EXPECT_FALSE(DecodeAozoraLineState(bad));
  }
}

}  // namespace
}  // namespace folio::text
