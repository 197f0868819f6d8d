// The platform's own text engine: Pango natively, DirectWrite under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "layout/text_layouter.h"
#include "render/page_drawing.h"
#include "render/page_frame.h"

namespace folio::render {
namespace {

using platform::PixelRect;

// A named family, so that pages are alike wherever the tests run.
constexpr std::u16string_view kFamily = u"DejaVu Sans";

bool RunningUnderWine() {
#if defined(_WIN32)
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
  return false;
#endif
}

struct Rgb {
  int red, green, blue;
};

class TextEngineTest : public ::testing::Test {
 protected:
  TextEngineTest() {
    settings_.width = 240;
    settings_.height = 120;
    settings_.margin = 10;
    settings_.fontFamily = kFamily;
    settings_.fontSize = 16;
  }

  std::unique_ptr<layout::TextMeasurer> Measurer(std::int32_t fontSize) {
    settings_.fontSize = fontSize;
    const MeasuringFrame frame = MeasuringFrameOf(settings_);
    return engine_.CreateMeasurer(*Surface(), FontOf(settings_), frame.boundRect, frame.wrapWidth,
                                  frame.maxHeight);
  }

  float Height(layout::TextMeasurer& measurer, std::u16string_view text) {
    float height = -1;
    EXPECT_TRUE(measurer.MeasureHeight(text, height));
    return height;
  }

  std::unique_ptr<platform::DrawingSurface> Surface() {
    if (!surface_) {
      surface_ = platform::CreateDrawingSurface(*platform::SurfaceGeometry::For(settings_.width, settings_.height),
                                                settings_.background);
    }
    return std::move(surface_);
  }

  // Draws `text` onto a fresh page and keeps it in page_.
  void DrawPage(std::u16string_view text) {
    page_ = platform::CreateDrawingSurface(*platform::SurfaceGeometry::For(settings_.width, settings_.height),
                                           settings_.background);
    ASSERT_NE(page_, nullptr);
    const DrawingFrame frame = DrawingFrameOf(settings_);
    engine_.Draw(*page_, FontOf(settings_), frame.targetRect, frame.layoutRect, layout::AnnotatedText(text),
                 settings_.fontColor, settings_.background);
  }

  // Pixel (x, y) of the page, y counted from the top.
  Rgb PixelAt(std::int32_t x, std::int32_t y) const {
    const auto& geometry = page_->geometry();
    const std::uint8_t* pixel = page_->pixels() + (geometry.height - 1 - y) * geometry.stride + 3 * x;
    return {pixel[2], pixel[1], pixel[0]};
  }

  // Bounds of the pixels that differ from the background: left, top, right, bottom (exclusive); empty when none.
  PixelRect InkBounds() const {
    const platform::Rgb background = settings_.background;
    PixelRect bounds{settings_.width, settings_.height, 0, 0};
    for (std::int32_t y = 0; y < settings_.height; ++y) {
      for (std::int32_t x = 0; x < settings_.width; ++x) {
        const Rgb pixel = PixelAt(x, y);
        if (pixel.red == background.red && pixel.green == background.green && pixel.blue == background.blue)
          continue;
        bounds = {std::min(bounds.left, x), std::min(bounds.top, y), std::max(bounds.right, x + 1),
                  std::max(bounds.bottom, y + 1)};
      }
    }
    return bounds;
  }

  layout::TextLayouter& engine_ = layout::SystemTextLayouter();
  settings::RenderSettings settings_;
  std::unique_ptr<platform::DrawingSurface> surface_;
  std::unique_ptr<platform::DrawingSurface> page_;
};

TEST_F(TextEngineTest, HeightsGrowWithLinesAndWrapping) {
  auto measurer = Measurer(16);
  ASSERT_NE(measurer, nullptr);
  const float one = Height(*measurer, u"Hello");
  const float two = Height(*measurer, u"Hello\nworld");
  EXPECT_GT(one, 10.0f);
  EXPECT_LT(one, 40.0f);
  EXPECT_NEAR(two, 2 * one, 1.0f);
  // 220 pixels hold a few words of 16 pixels: this wraps onto several lines.
  const float wrapped = Height(*measurer, u"The quick brown fox jumps over the lazy dog and runs away");
  EXPECT_GE(wrapped, 2 * one - 1.0f);
}

TEST_F(TextEngineTest, AWordWiderThanTheBoxBreaksInsideItself) {
  if (RunningUnderWine()) GTEST_SKIP() << "Wine's DirectWrite does not break inside words";
  auto measurer = Measurer(16);
  ASSERT_NE(measurer, nullptr);
  EXPECT_GE(Height(*measurer, std::u16string(60, u'W')), 2.5f * Height(*measurer, u"W"));
}

TEST_F(TextEngineTest, ImpossibleFontSizesMakeNoMeasurer) {
  for (std::int32_t size : {0, -8, std::numeric_limits<std::int32_t>::min()}) {
    EXPECT_EQ(Measurer(size), nullptr) << size;
  }
}

// Sizes that a font engine can't scale to must not spoil the font for later calls.
TEST_F(TextEngineTest, HugeFontSizesLeaveTheFontUsable) {
  for (std::int32_t size : {40'000, 70'000, 1'000'000, std::numeric_limits<std::int32_t>::max()}) {
    settings_.fontSize = size;
    if (auto measurer = Measurer(size)) {
      float height = 0;
      measurer->MeasureHeight(u"Hi\n", height);
    }
    DrawPage(u"Hi\n");
  }
  settings_.fontSize = 16;
  DrawPage(u"Hello\n");
  const PixelRect ink = InkBounds();
  EXPECT_LT(ink.left, ink.right) << "nothing drawn";
}

TEST_F(TextEngineTest, TextIsDrawnInsideTheMarginsInItsColour) {
  settings_.fontColor = settings::FontColorFromName(u"GRAY");
  // Lines start with glyphs that stay right of their origin.
  DrawPage(u"Hello there, quick brown fox; jump over the lazy dog.\nSecond line\n");
  const PixelRect ink = InkBounds();
  ASSERT_LT(ink.left, ink.right) << "nothing drawn";
  EXPECT_GE(ink.left, settings_.margin);
  EXPECT_GE(ink.top, settings_.margin);
  EXPECT_LE(ink.right, settings_.width - settings_.margin);
  EXPECT_LE(ink.bottom, settings_.height - settings_.margin);
  // Text starts near the box's corner, and the wrapped text uses its width.
  EXPECT_LT(ink.left, settings_.margin + 4);
  EXPECT_LT(ink.top, settings_.margin + 12);
  EXPECT_GT(ink.right, settings_.width - settings_.margin - 40);
  // Glyph cores take the font colour; antialiasing only lightens towards the background.
  int darkest = 255;
  for (std::int32_t y = ink.top; y < ink.bottom; ++y) {
    for (std::int32_t x = ink.left; x < ink.right; ++x) {
      const Rgb pixel = PixelAt(x, y);
      EXPECT_TRUE(pixel.red == pixel.green && pixel.green == pixel.blue) << x << "," << y;
      darkest = std::min(darkest, pixel.red);
    }
  }
  EXPECT_NEAR(darkest, 128, 2);
}

TEST_F(TextEngineTest, BackgroundStaysAroundTheText) {
  settings_.background = settings::BackgroundFromName(u"DARK_GRAY");
  settings_.fontColor = settings::FontColorFromName(u"LIGHT_GRAY");
  DrawPage(u"Hello\n");
  for (auto [x, y] : {std::pair{0, 0}, {239, 119}, {5, 60}, {200, 100}}) {
    const Rgb pixel = PixelAt(x, y);
    EXPECT_EQ(pixel.red, 64) << x << "," << y;
    EXPECT_EQ(pixel.blue, 64) << x << "," << y;
  }
  const PixelRect ink = InkBounds();
  EXPECT_LT(ink.left, ink.right) << "nothing drawn";
}

TEST_F(TextEngineTest, UnknownOrEmptyFamiliesDoNotFail) {
  for (std::u16string_view family : {u"", u"No Such Family 12345"}) {
    settings_.fontFamily = family;
    auto measurer = Measurer(16);
    float height = 0;
    if (measurer) measurer->MeasureHeight(u"Hello\n", height);
    DrawPage(u"Hello\n");
  }
}

}  // namespace
}  // namespace folio::render
