#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "listed_lines.h"
#include "render/page_drawing.h"
#include "render/page_frame.h"
#include "render/page_measuring.h"

namespace folio::render {
namespace {

using platform::PixelRect;
using text::TextEncoding;

// Lines as tall (in the fake engine) as they have units before the line feed.
std::vector<std::u16string> LinesOfLengths(std::initializer_list<int> lengths) {
  std::vector<std::u16string> lines;
  for (int length : lengths) lines.push_back(std::u16string(length, u'x') + u'\n');
  return lines;
}

// Measures a text as the number of its units other than line feeds; "nan"
// in a text makes its height NaN.  Remembers what it was given.
class FakeTextEngine final : public layout::TextLayouter {
 public:
  bool objectsFail = false;
  int layoutsBeforeFailure = -1;  // -1: layouts never fail

  std::vector<std::u16string> measuredTexts;
  PixelRect boundRect{};
  std::int32_t wrapWidth = 0;
  std::int32_t maxHeight = 0;

  struct DrawCall {
    std::u16string family;
    std::int32_t pixelSize;
    PixelRect targetRect;
    PixelRect layoutRect;
    std::u16string text;
    std::size_t readings;
    platform::TextColor color;
    platform::Rgb background;
    bool vertical = false;
  };
  std::vector<DrawCall> draws;

  std::unique_ptr<layout::TextMeasurer> CreateMeasurer(platform::DrawingSurface&, const platform::FontSpec&,
                                                       const PixelRect& bound, std::int32_t wrap,
                                                       std::int32_t height) override {
    boundRect = bound, wrapWidth = wrap, maxHeight = height;
    if (objectsFail) return nullptr;
    return std::make_unique<Measurer>(*this);
  }

  void Draw(platform::DrawingSurface&, const platform::FontSpec& font, const PixelRect& targetRect,
            const PixelRect& layoutRect, const layout::AnnotatedText& text, const platform::TextColor& color,
            platform::Rgb background) override {
    draws.push_back({std::u16string(font.family), font.pixelSize, targetRect, layoutRect,
                     std::u16string(text.text), text.readings.size(), color, background});
  }

  void DrawColumns(platform::DrawingSurface& surface, const platform::FontSpec& font, const PixelRect& targetRect,
                   const PixelRect& layoutRect, const layout::AnnotatedText& text,
                   const platform::TextColor& color, platform::Rgb background) override {
    Draw(surface, font, targetRect, layoutRect, text, color, background);
    draws.back().vertical = true;
  }

 private:
  class Measurer final : public layout::TextMeasurer {
   public:
    explicit Measurer(FakeTextEngine& engine) : engine_(engine) {}
    bool MeasureHeight(const layout::AnnotatedText& annotated, float& height) override {
      const std::u16string_view text = annotated.text;
      if (engine_.layoutsBeforeFailure == 0) return false;
      if (engine_.layoutsBeforeFailure > 0) --engine_.layoutsBeforeFailure;
      engine_.measuredTexts.emplace_back(text);
      if (text.find(u"nan") != std::u16string_view::npos) {
        height = std::numeric_limits<float>::quiet_NaN();
      } else {
        height = static_cast<float>(text.size() - std::count(text.begin(), text.end(), u'\n'));
      }
      return true;
    }
    // A unit of a turned run is half a cell of the font's 13 pixels.
    std::optional<float> MeasureAdvance(std::u16string_view run) override { return 6.5f * run.size(); }

   private:
    FakeTextEngine& engine_;
  };
};

class PassTest : public ::testing::Test {
 protected:
  PassTest() {
    settings_.width = 100;
    settings_.height = 100;
    settings_.margin = 5;  // pages break above 95
    settings_.fontFamily = u"Some Family";
    settings_.fontSize = 13;
  }

  PageBreakList Measure(std::vector<std::u16string> lines, std::uint32_t expectedPages) {
    ListedLines source(std::move(lines));
    PageBreakList breaks{7, 7, 7};  // emptied first
    EXPECT_EQ(MeasurePages(engine_, *surface_, source, settings_, breaks), expectedPages);
    return breaks;
  }

  std::u16string DrawnText(std::int32_t firstLine, std::int32_t lastLine) {
    std::vector<std::u16string> lines;
    for (int i = 0; i < 20; ++i) lines.push_back(u"line" + std::u16string(1, u'a' + i) + u"\n");
    ListedLines source(std::move(lines));
    engine_.draws.clear();
    DrawPageText(engine_, *surface_, source, settings_, firstLine, lastLine, std::nullopt);
    EXPECT_EQ(engine_.draws.size(), 1u);
    return engine_.draws.empty() ? u"" : engine_.draws.back().text;
  }

  FakeTextEngine engine_;
  settings::RenderSettings settings_;
  std::unique_ptr<platform::DrawingSurface> surface_ =
      platform::CreateDrawingSurface(*platform::SurfaceGeometry::For(4, 4), platform::Rgb{255, 255, 255});
};

TEST_F(PassTest, BreakLists) {
  struct Case {
    const char* what;
    std::int32_t pageLimit;
    std::vector<std::u16string> lines;
    std::uint32_t pages;
    PageBreakList breaks;
  };
  const std::vector<std::u16string> threePages = LinesOfLengths({30, 30, 30, 30, 30, 30, 30, 30});
  const Case cases[] = {
      {"empty text", 10, {}, 1, {0, 0}},
      {"one page", 10, LinesOfLengths({10, 10, 10}), 1, {0, 3}},
      {"exactly the limit", 10, LinesOfLengths({30, 30, 35}), 1, {0, 3}},
      {"just over the limit", 10, LinesOfLengths({30, 30, 36}), 2, {0, 2, 3}},
      {"first line too tall", 10, LinesOfLengths({96, 10, 10}), 3, {0, 0, 1, 3}},
      {"first line too tall, limit 1", 1, LinesOfLengths({96, 10, 10}), 1, {0, 0, 0}},
      {"later line too tall", 10, LinesOfLengths({30, 30, 30, 96, 10}), 3, {0, 3, 4, 5}},
      {"limit 1", 1, threePages, 1, {0, 3, 3}},
      {"limit 2", 2, threePages, 2, {0, 3, 6, 6}},
      {"limit 3", 3, threePages, 3, {0, 3, 6, 8}},
      {"limit 0", 0, threePages, 3, {0, 3, 6, 8}},
      {"limit -5", -5, threePages, 3, {0, 3, 6, 8}},
      {"lowest limit", std::numeric_limits<std::int32_t>::min(), threePages, 3, {0, 3, 6, 8}},
      {"not a number", 10, {u"nan\n", u"nan\n", std::u16string(200, u'x')}, 1, {0, 3}},
  };
  for (const Case& c : cases) {
    settings_.pageLimit = c.pageLimit;
    EXPECT_EQ(Measure(c.lines, c.pages), c.breaks) << c.what;
  }
}

TEST_F(PassTest, NotationEndsPagesAtNotesWhichTakeNoRoom) {
  struct Case {
    const char* what;
    settings::Notation notation;
    std::int32_t pageLimit;
    std::vector<std::u16string> lines;
    std::uint32_t pages;
    PageBreakList breaks;
  };
  const std::u16string tall(96, u'x');
  const Case cases[] = {
      {"a note line", settings::Notation::Aozora, 0, {u"a\n", u"［＃改ページ］\n", u"b\n"}, 2, {0, 2, 3}},
      {"after text",
       settings::Notation::Aozora,
       0,
       {u"a［＃改丁］\n", u"b［＃改見開き］\n", u"c\n"},
       3,
       {0, 1, 2, 3}},
      {"the page limit",
       settings::Notation::Aozora,
       2,
       {u"a［＃改ページ］\n", u"b［＃改ページ］\n", u"c\n"},
       2,
       {0, 1, 2, 2}},
      {"no blank pages",
       settings::Notation::Aozora,
       0,
       {u"［＃改ページ］\n", u"a［＃改ページ］\n", u"［＃改ページ］\n", u"b\n"},
       2,
       {0, 2, 4}},
      {"then a line too tall",
       settings::Notation::Aozora,
       0,
       {u"a［＃改ページ］\n", tall + u"\n", u"b\n"},
       3,
       {0, 1, 2, 3}},
      {"notes take no room",
       settings::Notation::Aozora,
       0,
       {std::u16string(90, u'x') + u"\n", u"［＃ここから２字下げ］\n", u"xxxx\n", u"［＃ここで字下げ終わり］\n"},
       1,
       {0, 4}},
      {"no notation", settings::Notation::None, 0, {u"a\n", u"［＃改ページ］\n", u"b\n"}, 1, {0, 3}},
  };
  for (const Case& c : cases) {
    settings_.notation = c.notation;
    settings_.pageLimit = c.pageLimit;
    EXPECT_EQ(Measure(c.lines, c.pages), c.breaks) << c.what;
  }
}

// Markup that isn't well formed reaches the page as written, readings and all.
TEST_F(PassTest, BrokenMarkupIsDrawnAsWritten) {
  settings_.notation = settings::Notation::Aozora;
  std::u16string cutInsideAReading(1018, u'猫');
  cutInsideAReading += u"吾輩《わが";  // the reader's 1,023-unit piece ends here; はい》 follows
  const std::u16string_view cases[] = {
      u"吾輩《わがはい　は猫である。\n", u"吾輩は猫である［＃改ページ　と\n", u"吾輩は猫《》である。\n",
      u"｜吾輩は猫である。\n",           u"ねこ《ねこ》である。\n",           cutInsideAReading,
  };
  for (const std::u16string_view line : cases) {
    ListedLines source({std::u16string(line), u"はい》の続き\n"});
    engine_.draws.clear();
    DrawPageText(engine_, *surface_, source, settings_, 0, 0, std::nullopt);
    ASSERT_EQ(engine_.draws.size(), 1u);
    EXPECT_EQ(engine_.draws.back().text, line);
    EXPECT_EQ(engine_.draws.back().readings, 0u);
  }
}

TEST_F(PassTest, LaysOutEachParagraphOnceInTheMeasuringBox) {
  Measure(LinesOfLengths({60, 20, 10}), 1);
  const std::u16string x60(60, u'x'), x20(20, u'x'), x10(10, u'x');
  // The empty line after the last line feed is laid out once per run.
  EXPECT_EQ(engine_.measuredTexts, (std::vector<std::u16string>{x60, u"", x20, x10}));
  EXPECT_EQ(engine_.boundRect, (PixelRect{5, 5, 90, 90}));
  EXPECT_EQ(engine_.wrapWidth, 90);
  EXPECT_EQ(engine_.maxHeight, 90);
}

TEST_F(PassTest, LaysOutTheWholePageTextOnlyNearTheLimit) {
  Measure(LinesOfLengths({30, 30, 35, 1}), 2);  // 95: exactly the limit
  const std::u16string page =
      std::u16string(30, u'x') + u'\n' + std::u16string(30, u'x') + u'\n' + std::u16string(35, u'x') + u'\n';
  EXPECT_EQ(std::count(engine_.measuredTexts.begin(), engine_.measuredTexts.end(), page), 1);
  EXPECT_EQ(std::count(engine_.measuredTexts.begin(), engine_.measuredTexts.end(), page + u"x\n"), 1);

  // Far from the limit no line's layout depends on the length of its page.
  engine_.measuredTexts.clear();
  std::vector<std::u16string> lines(5000, u"x\n");
  settings_.height = 10000;
  Measure(lines, 1);
  std::size_t unitsLaidOut = 0;
  for (const std::u16string& text : engine_.measuredTexts) unitsLaidOut += text.size();
  EXPECT_LE(unitsLaidOut, 2 * lines.size());
}

TEST_F(PassTest, WithoutTextObjectsEveryHeightIsZero) {
  engine_.objectsFail = true;
  EXPECT_EQ(Measure(LinesOfLengths({96, 96, 96}), 1), (PageBreakList{0, 3}));

  // ... so with a margin wider than the page every line breaks, up to the limit.
  settings_.margin = 150;
  settings_.pageLimit = 3;
  EXPECT_EQ(Measure(LinesOfLengths({1, 1, 1, 1, 1}), 3), (PageBreakList{0, 0, 1, 2, 2}));
}

TEST_F(PassTest, AFailedLayoutKeepsTheLastHeight) {
  engine_.layoutsBeforeFailure = 2;  // the first line and the empty line, then no more layouts
  EXPECT_EQ(Measure(LinesOfLengths({30, 30, 30, 30, 30, 30}), 1), (PageBreakList{0, 6}));
  EXPECT_EQ(engine_.measuredTexts.size(), 2u);

  // A kept height over the limit breaks before every later line.
  engine_.layoutsBeforeFailure = 5;  // the last layout gives the fourth line, 120 high in all
  settings_.pageLimit = 4;
  EXPECT_EQ(Measure(LinesOfLengths({30, 30, 30, 30, 1, 1, 1, 1}), 4), (PageBreakList{0, 3, 4, 5, 6, 6}));
}

TEST(PageFrameTest, DefaultPage) {
  const settings::RenderSettings defaults;
  const MeasuringFrame measuring = MeasuringFrameOf(defaults);
  EXPECT_EQ(measuring.boundRect, (PixelRect{4, 4, 632, 472}));
  EXPECT_EQ(measuring.wrapWidth, 632);
  EXPECT_EQ(measuring.maxHeight, 472);
  EXPECT_EQ(measuring.breakLimit, 476.0f);
  const DrawingFrame drawing = DrawingFrameOf(defaults);
  EXPECT_EQ(drawing.targetRect, (PixelRect{0, 0, 640, 480}));
  EXPECT_EQ(drawing.layoutRect, (PixelRect{4, 4, 636, 476}));
}

TEST(PageFrameTest, ExtremeMarginsSaturate) {
  settings::RenderSettings settings;
  settings.margin = std::numeric_limits<std::int32_t>::max();
  EXPECT_EQ(MeasuringFrameOf(settings).wrapWidth, std::numeric_limits<std::int32_t>::min());
  EXPECT_LT(MeasuringFrameOf(settings).breakLimit, 0.0f);
  settings.margin = std::numeric_limits<std::int32_t>::min();
  EXPECT_EQ(MeasuringFrameOf(settings).wrapWidth, std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(DrawingFrameOf(settings).layoutRect.right, std::numeric_limits<std::int32_t>::max());
}

TEST_F(PassTest, DrawsTheNamedLinesOnce) {
  struct Case {
    std::int32_t firstLine;
    std::int32_t lastLine;
    std::u16string_view text;
  };
  for (const Case& c :
       {Case{0, 0, u"linea\n"}, Case{0, -1, u""}, Case{5, 9, u"linef\nlineg\nlineh\nlinei\nlinej\n"},
        Case{18, 25, u"lines\nlinet\n"}, Case{25, 30, u""}, Case{9, 5, u""}}) {
    EXPECT_EQ(DrawnText(c.firstLine, c.lastLine), c.text) << c.firstLine << " to " << c.lastLine;
  }
}

TEST_F(PassTest, DrawsInTheBoxItWasMeasuredIn) {
  settings_.background = settings::BackgroundFromName(u"LIGHT_GRAY");
  settings_.fontColor = settings::FontColorFromName(u"DARK_GRAY");
  DrawnText(0, 1);
  const FakeTextEngine::DrawCall& call = engine_.draws.back();
  EXPECT_EQ(call.family, u"Some Family");
  EXPECT_EQ(call.pixelSize, 13);
  EXPECT_EQ(call.targetRect, (PixelRect{0, 0, 100, 100}));
  EXPECT_EQ(call.layoutRect, (PixelRect{5, 5, 95, 95}));
  EXPECT_EQ(call.layoutRect.right - call.layoutRect.left, MeasuringFrameOf(settings_).wrapWidth);
  EXPECT_EQ(call.color, (platform::TextColor{0.25f, 0.25f, 0.25f, 1.0f}));
  EXPECT_EQ(call.background, (platform::Rgb{192, 192, 192}));
}

}  // namespace
}  // namespace folio::render
