// The measuring pass must break every text exactly where laying out the
// whole page text for every line breaks it: with a fake engine over random
// texts, and with the platform's own engine over a mixed corpus.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "base/unicode.h"
#include "bench/aozora_prose.h"
#include "bench/prose.h"
#include "listed_lines.h"
#include "render/page_frame.h"
#include "render/page_height_gauge.h"
#include "render/page_lines.h"
#include "render/page_measuring.h"
#include "render/page_text.h"
#include "whole_page_text_breaks.h"

namespace folio::render {
namespace {

// Additive like the real engines, one unit per unit and one per line, with
// rounding noise of up to 1/200 px that depends on the whole text, so that
// sums near the limit can fall on either side of it.
class NoisyMeasurer final : public layout::TextMeasurer {
 public:
  bool MeasureHeight(const layout::AnnotatedText& annotated, float& height) override {
    const std::u16string_view text = annotated.text;
    std::size_t lines = 1;
    for (std::size_t at = 0; at < text.size(); ++at) {
      if (text[at] == u'\n' && (at == 0 || text[at - 1] != u'\r')) ++lines;
    }
    const std::size_t units = text.size() - std::count(text.begin(), text.end(), u'\n');
    const std::size_t noise = std::hash<std::u16string_view>{}(text) % 1001;
    height = static_cast<float>(units + lines) + (static_cast<float>(noise) - 500.0f) / 100000.0f;
    return true;
  }
  std::optional<float> MeasureAdvance(std::u16string_view run) override { return static_cast<float>(run.size()); }
};

// Counts the layout measurers made, one by each worker.
class NoisyEngine final : public layout::TextLayouter {
 public:
  std::unique_ptr<layout::TextMeasurer> CreateMeasurer(platform::DrawingSurface&, const platform::FontSpec&,
                                                       const platform::PixelRect&, std::int32_t,
                                                       std::int32_t) override {
    return std::make_unique<NoisyMeasurer>();
  }
  std::unique_ptr<layout::TextMeasurer> CreateLayoutMeasurer(const platform::FontSpec&, std::int32_t,
                                                             std::int32_t) override {
    ++layoutMeasurers;
    return std::make_unique<NoisyMeasurer>();
  }
  void Draw(platform::DrawingSurface&, const platform::FontSpec&, const platform::PixelRect&,
            const platform::PixelRect&, const layout::AnnotatedText&, const platform::TextColor&,
            platform::Rgb) override {}
  void DrawColumns(platform::DrawingSurface&, const platform::FontSpec&, const platform::PixelRect&,
                   const platform::PixelRect&, const layout::AnnotatedText&, const platform::TextColor&,
                   platform::Rgb) override {}

  std::atomic<unsigned> layoutMeasurers{0};
};

// DirectWrite's render target binds to the page's own rectangles.
std::unique_ptr<platform::DrawingSurface> PageSurface(const settings::RenderSettings& settings) {
  return platform::CreateDrawingSurface(*platform::SurfaceGeometry::For(settings.width, settings.height),
                                        platform::Rgb{255, 255, 255});
}

PageBreakList FastBreaks(layout::TextLayouter& engine, const std::vector<std::u16string>& lines,
                         const settings::RenderSettings& settings, unsigned workers = 2) {
  ListedLines source(lines);
  PageBreakList breaks;
  MeasurePages(engine, *PageSurface(settings), source, settings, breaks, workers);
  return breaks;
}

PageBreakList ReferenceBreaks(layout::TextLayouter& engine, const std::vector<std::u16string>& lines,
                              const settings::RenderSettings& settings) {
  const MeasuringFrame frame = MeasuringFrameOf(settings);
  const auto surface = PageSurface(settings);
  const auto measurer =
      engine.CreateMeasurer(*surface, FontOf(settings), frame.boundRect, frame.wrapWidth, frame.maxHeight);
  if (!measurer) return {};
  return WholePageTextBreaks(*measurer, lines, frame.breakLimit, settings);
}

TEST(MeasuringEquivalenceTest, RandomTextsBreakAsTheWholePageTextDoes) {
  std::mt19937 random(20261209);
  NoisyEngine engine;
  settings::RenderSettings settings;
  settings.width = 100;
  settings.margin = 5;
  int textsThatBroke = 0;
  for (int text = 0; text < 300; ++text) {
    std::vector<std::u16string> lines(std::uniform_int_distribution<int>(0, 80)(random));
    for (std::u16string& line : lines) {
      line.assign(std::uniform_int_distribution<int>(0, 12)(random), u'x');
      switch (std::uniform_int_distribution<int>(0, 9)(random)) {
        case 0: break;                               // cut where a long line is split: no line feed
        case 1: line += u"\r\n"; break;              // read as one separator with the carriage return
        case 2: line = u"\r" + line + u"\n"; break;  // after a carriage return that ended the last line
        default: line += u'\n';
      }
    }
    settings.height = std::uniform_int_distribution<int>(30, 90)(random);
    settings.pageLimit = std::uniform_int_distribution<int>(-1, 4)(random);
    const PageBreakList expected = ReferenceBreaks(engine, lines, settings);
    ASSERT_EQ(FastBreaks(engine, lines, settings), expected) << "text " << text;
    textsThatBroke += expected.size() > 2;
  }
  EXPECT_GT(textsThatBroke, 100);
}

// Workers start past the first thousand lines.
std::vector<std::u16string> Repeated(const std::vector<std::u16string>& lines, int times) {
  std::vector<std::u16string> repeated;
  for (int i = 0; i < times; ++i) repeated.insert(repeated.end(), lines.begin(), lines.end());
  return repeated;
}

TEST(MeasuringEquivalenceTest, WorkersChangeNoBreak) {
  std::mt19937 random(20261210);
  std::vector<std::u16string> lines(400);
  for (std::u16string& line : lines) {
    line.assign(std::uniform_int_distribution<int>(0, 30)(random), u'x');
    line += std::uniform_int_distribution<int>(0, 5)(random) ? u"\n" : u"";  // some paragraphs of several lines
  }
  lines = Repeated(lines, 8);
  settings::RenderSettings settings;
  settings.width = 100;
  settings.margin = 5;
  settings.height = 200;
  settings.pageLimit = 0;
  NoisyEngine engine;
  const PageBreakList alone = FastBreaks(engine, lines, settings, 0);
  EXPECT_EQ(alone, ReferenceBreaks(engine, lines, settings));
  for (const unsigned workers : {1u, 2u, 8u}) {
    engine.layoutMeasurers = 0;
    EXPECT_EQ(FastBreaks(engine, lines, settings, workers), alone) << workers << " workers";
    EXPECT_EQ(engine.layoutMeasurers, workers) << "every worker starts";
  }
}

// Every kind of line that the engines might lay out differently alone and
// together: wrapping, tabs, fallback fonts, separators of all kinds, marks,
// emoji, lines split by the reader, a last line without a line feed, and
// markup that notation turns into readings, indents and lines of no height
// (but no page ends, which are no matter of heights).
std::vector<std::u16string> MixedCorpus() {
  const std::u16string words =
      u"Reading a novel page by page in an image viewer is pleasant when the lines wrap at the right margin. ";
  std::u16string split;
  while (split.size() < 1023) split += words;
  split.resize(1023);
  const std::vector<std::u16string> pieces = {
      u"The quick brown fox jumps over the lazy dog.\n",
      u"\n",
      u"\tIndented with a tab,\tthen\ttabs inside.\n",
      u"日本語の文章は単語の間に空白を置かないので、折り返しは文字の間で起こる。吾輩は猫である。\n",
      u"Mixed 日本語 and English, ｆｕｌｌｗｉｄｔｈ ａｌｓｏ.\n",
      u"A carriage return\rinside a line.\n",
      u"A carriage return before the line feed\r\n",
      u"Line\u2028separator and paragraph\u2029separator.\n",
      u"Next\u0085line and\u000bvertical tab.\n",
      u"\u0301A combining mark first.\n",
      u"Emoji \U0001F600 and symbols \u00a9\u00ae.\n",
      words + words + words + u"\n",
      split,
      words + u"\n",
      u"［＃ここから３字下げ］\n",
      u"　吾輩《わがはい》は猫である。名前はまだ無い。どこで生れたかとんと見当《けんとう》がつかぬ。\n",
      u"［＃ここで字下げ終わり］\n",
      u"［＃２字下げ］一番｜獰悪《どうあく》な書生［＃「書生」に傍点］であった。\n",
      u"閉じない読み《わがはい　は猫である。\n",
  };
  std::vector<std::u16string> lines;
  std::mt19937 random(7);
  for (int i = 0; i < 160; ++i) {
    lines.push_back(pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(random)]);
  }
  lines.push_back(u"The last line has no line feed.");
  return lines;
}

struct NamedPage {
  const char* name;
  settings::RenderSettings settings;
  friend void PrintTo(const NamedPage& page, std::ostream* out) { *out << page.name; }
};

class SystemEngineEquivalenceTest : public ::testing::TestWithParam<NamedPage> {};

TEST_P(SystemEngineEquivalenceTest, ParagraphHeightsAddUp) {
  const settings::RenderSettings& settings = GetParam().settings;
  const MeasuringFrame frame = MeasuringFrameOf(settings);
  const auto surface = PageSurface(settings);
  const auto measurer = layout::SystemTextLayouter().CreateMeasurer(*surface, FontOf(settings), frame.boundRect,
                                                                    frame.wrapWidth, frame.maxHeight);
  ASSERT_NE(measurer, nullptr);
  // With no limit to come near, the gauge's height is always its sum.
  PageHeightGauge gauge(*measurer, std::numeric_limits<float>::infinity());
  ListedLines source(MixedCorpus());
  PageLineReader lines(source, settings, std::nullopt);
  PageText pageText(settings);
  float largestDifference = 0;
  std::size_t linesOnPage = 0;
  while (lines.Next()) {
    if (++linesOnPage > 12) {  // pages of up to 12 lines
      pageText.Clear();
      gauge.Restart(0);
      linesOnPage = 1;
    }
    lines.AppendLineTo(pageText);
    float sum = 0, whole = 0;
    ASSERT_TRUE(gauge.Measure(pageText.View(), sum));
    ASSERT_TRUE(measurer->MeasureHeight(pageText.View(), whole));
    largestDifference = std::max(largestDifference, std::abs(sum - whole));
  }
  // Far inside the allowance within which the gauge lays the page out whole.
  EXPECT_LT(largestDifference, PageHeightGauge::kRoundingAllowance / 16);
}

TEST_P(SystemEngineEquivalenceTest, CorpusBreaksAsTheWholePageTextDoes) {
  const std::vector<std::u16string> lines = MixedCorpus();
  const settings::RenderSettings& settings = GetParam().settings;
  const PageBreakList expected = ReferenceBreaks(layout::SystemTextLayouter(), lines, settings);
  EXPECT_GT(expected.size(), 4u);
  EXPECT_EQ(FastBreaks(layout::SystemTextLayouter(), lines, settings), expected);
}

// The benchmark's prose in the page's language and notation, as the reader
// delivers it: a line longer than 1,023 units in pieces.
std::vector<std::u16string> ProseLines(const settings::RenderSettings& settings, int count) {
  bench::ProseWriter plain(
      settings.fontFamily == u"DejaVu Sans" ? bench::Language::English : bench::Language::Japanese,
      bench::kProseSeed);
  bench::AozoraProseWriter notated(bench::kProseSeed);
  std::vector<std::u16string> lines;
  for (int i = 0; i < count; ++i) {
    const std::u16string line = base::Utf8ToUtf16(
        (settings.notation == settings::Notation::Aozora ? notated.NextLine() : plain.NextLine()) + "\n");
    for (std::size_t at = 0; at < line.size(); at += 1023) lines.push_back(line.substr(at, 1023));
  }
  return lines;
}

TEST_P(SystemEngineEquivalenceTest, CorpusAndProseBreakTheSameWithAnyNumberOfWorkers) {
  const settings::RenderSettings& settings = GetParam().settings;
  for (const std::vector<std::u16string>& lines : {Repeated(MixedCorpus(), 8), ProseLines(settings, 1500)}) {
    const PageBreakList alone = FastBreaks(layout::SystemTextLayouter(), lines, settings, 0);
    for (const unsigned workers : {1u, 2u, 8u}) {
      EXPECT_EQ(FastBreaks(layout::SystemTextLayouter(), lines, settings, workers), alone)
          << workers << " workers, " << lines.size() << " lines";
    }
  }
}

NamedPage Page(const char* name, std::u16string family, std::int32_t fontSize, std::int32_t width,
               std::int32_t height, std::int32_t margin, settings::Notation notation = settings::Notation::None) {
  settings::RenderSettings settings;
  settings.notation = notation;
  settings.fontFamily = std::move(family);
  settings.fontSize = fontSize;
  settings.width = width;
  settings.height = height;
  settings.margin = margin;
  settings.pageLimit = 0;
  return {name, settings};
}

// Families are named, so that pages are alike wherever the tests run.
INSTANTIATE_TEST_SUITE_P(Pages, SystemEngineEquivalenceTest,
                         ::testing::Values(Page("latin_font", u"DejaVu Sans", 12, 320, 240, 8),
                                           Page("japanese_font_narrow", u"Noto Sans CJK JP", 9, 200, 300, 20),
                                           Page("latin_font_wide", u"DejaVu Sans", 17, 640, 160, 4),
                                           Page("japanese_font_notation", u"Noto Sans CJK JP", 11, 300, 400, 12,
                                                settings::Notation::Aozora),
                                           Page("latin_font_notation", u"DejaVu Sans", 13, 400, 200, 6,
                                                settings::Notation::Aozora)),
                         [](const ::testing::TestParamInfo<NamedPage>& info) { return info.param.name; });

// Vertical pages break alike on every engine: their columns are set by
// shared code, which asks an engine only for the line advance and the
// advances of turned runs.  The breaks were measured with Pango; DirectWrite
// must find the same.
TEST(VerticalEquivalenceTest, CorpusBreaksAlikeOnEveryEngine) {
  struct Case {
    NamedPage page;
    PageBreakList breaks;
  };
  Case cases[] = {
      {Page("latin_font", u"DejaVu Sans", 12, 320, 240, 8),
       {0,   17,  20,  21,  27,  28,  29,  30,  40,  48,  56,  57,  66,  81,  84,  85,  96,  104, 105, 106, 111,
        112, 122, 123, 127, 128, 137, 138, 139, 140, 152, 153, 154, 163, 169, 171, 174, 177, 179, 182, 186, 187,
        188, 195, 200, 203, 209, 212, 218, 221, 228, 234, 238, 240, 241, 244, 247, 249, 251, 256, 261}},
      {Page("japanese_font", u"Noto Sans CJK JP", 11, 300, 400, 12),
       {0,   17,  22,  27,  29,  32,  44,  56,  60,  72,  84,  88,  102, 104, 105, 110, 114, 122, 127, 128,
        137, 139, 142, 153, 158, 169, 179, 186, 196, 205, 211, 219, 220, 228, 233, 239, 245, 256, 262}},
      {Page("japanese_font_notation", u"Noto Sans CJK JP", 13, 400, 300, 10, settings::Notation::Aozora),
       {0,   11,  20,  21,  27,  28,  29,  30,  40,  45,  56,  57,  63,  68,  78,  84,  85,
        93,  103, 104, 105, 106, 111, 112, 119, 122, 123, 127, 128, 134, 137, 138, 139, 140,
        151, 153, 154, 166, 172, 176, 179, 184, 187, 192, 193, 198, 201, 207, 213, 217, 222,
        224, 225, 230, 232, 233, 234, 237, 241, 243, 245, 248, 251, 255, 256, 258, 262}},
  };
  for (Case& c : cases) {
    c.page.settings.vertical = true;
    std::vector<std::u16string> lines = MixedCorpus();
    const std::vector<std::u16string> prose = ProseLines(c.page.settings, 100);
    lines.insert(lines.end(), prose.begin(), prose.end());
    EXPECT_EQ(FastBreaks(layout::SystemTextLayouter(), lines, c.page.settings, 0), c.breaks) << c.page.name;
  }
}

}  // namespace
}  // namespace folio::render
