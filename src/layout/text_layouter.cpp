#include "layout/text_layouter.h"

#include "layout/annotated_layout.h"
#include "layout/vertical_text.h"

namespace folio::layout {
namespace {

class SystemMeasurer final : public TextMeasurer {
 public:
  SystemMeasurer(std::unique_ptr<platform::TextMeasurer> engine, std::int32_t wrapWidth)
      : engine_(std::move(engine)), wrapWidth_(static_cast<float>(wrapWidth)) {}

  bool MeasureHeight(const AnnotatedText& text, float& height) override {
    if (text.Plain()) return engine_->MeasureHeight(text.text, height);
    platform::ParagraphLayouter* paragraphs = engine_->Paragraphs();
    return paragraphs && MeasureAnnotatedText(*paragraphs, text, wrapWidth_, height);
  }

  std::optional<float> MeasureAdvance(std::u16string_view run) override { return engine_->MeasureAdvance(run); }

 private:
  std::unique_ptr<platform::TextMeasurer> engine_;
  float wrapWidth_;
};

std::unique_ptr<TextMeasurer> MeasurerOver(std::unique_ptr<platform::TextMeasurer> engine,
                                           std::int32_t wrapWidth) {
  if (!engine) return nullptr;
  return std::make_unique<SystemMeasurer>(std::move(engine), wrapWidth);
}

class SystemLayouter final : public TextLayouter {
 public:
  std::unique_ptr<TextMeasurer> CreateMeasurer(platform::DrawingSurface& surface, const platform::FontSpec& font,
                                               const platform::PixelRect& boundRect, std::int32_t wrapWidth,
                                               std::int32_t maxHeight) override {
    return MeasurerOver(engine_.CreateMeasurer(surface, font, boundRect, wrapWidth, maxHeight), wrapWidth);
  }

  std::unique_ptr<TextMeasurer> CreateLayoutMeasurer(const platform::FontSpec& font, std::int32_t wrapWidth,
                                                     std::int32_t maxHeight) override {
    return MeasurerOver(engine_.CreateLayoutMeasurer(font, wrapWidth, maxHeight), wrapWidth);
  }

  bool LaysOutFasterOnSeveralThreads() const override { return engine_.LaysOutFasterOnSeveralThreads(); }

  void Draw(platform::DrawingSurface& surface, const platform::FontSpec& font,
            const platform::PixelRect& targetRect, const platform::PixelRect& layoutRect,
            const AnnotatedText& text, const platform::TextColor& color, platform::Rgb background) override {
    const std::unique_ptr<platform::TextCanvas> canvas =
        engine_.BeginDrawing(surface, font, targetRect, layoutRect, color, background);
    if (!canvas) return;
    if (text.Plain()) {
      canvas->DrawText(text.text);
    } else if (platform::ParagraphLayouter* paragraphs = canvas->Paragraphs()) {
      DrawAnnotatedText(*paragraphs, text, static_cast<float>(layoutRect.left), static_cast<float>(layoutRect.top),
                        static_cast<float>(layoutRect.right));
    }
  }

  void DrawColumns(platform::DrawingSurface& surface, const platform::FontSpec& font,
                   const platform::PixelRect& targetRect, const platform::PixelRect& layoutRect,
                   const AnnotatedText& text, const platform::TextColor& color,
                   platform::Rgb background) override {
    const std::unique_ptr<platform::TextCanvas> canvas =
        engine_.BeginDrawing(surface, font, targetRect, layoutRect, color, background);
    if (canvas) layout::DrawColumns(*canvas, text, layoutRect, static_cast<float>(font.pixelSize));
  }

 private:
  platform::TextEngine& engine_ = platform::SystemTextEngine();
};

}  // namespace

TextLayouter& SystemTextLayouter() {
  static SystemLayouter layouter;
  return layouter;
}

}  // namespace folio::layout
