// Text through Direct2D and DirectWrite: a DC render target bound to the
// surface's memory DC.  Every object is made as one chain, each step only
// when the ones before it succeeded, and released in reverse order of making.
// The factories are the exception: kept until unload (dwrite_kept_objects.h).
#include <windows.h>

#include <d2d1.h>
#include <dwrite.h>
#include <wrl/client.h>

#include "platform/dwrite_kept_objects.h"
#include "platform/text_engine.h"

namespace folio::platform {
namespace {

using Microsoft::WRL::ComPtr;

const wchar_t* WideText(std::u16string_view text) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t));
  return reinterpret_cast<const wchar_t*>(text.data());
}

// Factories and a DC render target bound to `rect` of the surface; the
// target is released before its factory goes back to the pool.
struct BoundTarget {
  dwrite::Direct2DFactoryLease direct2d;
  ComPtr<IDWriteFactory> directWrite;
  ComPtr<ID2D1DCRenderTarget> target;

  HRESULT Make(DrawingSurface& surface, const PixelRect& rect) {
    HRESULT status = direct2d.Take();
    if (SUCCEEDED(status)) status = dwrite::SharedFactory(directWrite);
    if (SUCCEEDED(status)) {
      const D2D1_RENDER_TARGET_PROPERTIES properties{D2D1_RENDER_TARGET_TYPE_DEFAULT,
                                                     {DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_IGNORE},
                                                     0.0f,
                                                     0.0f,
                                                     D2D1_RENDER_TARGET_USAGE_NONE,
                                                     D2D1_FEATURE_LEVEL_DEFAULT};
      status = direct2d->CreateDCRenderTarget(&properties, target.GetAddressOf());
    }
    if (SUCCEEDED(status)) {
      const RECT bound{rect.left, rect.top, rect.right, rect.bottom};
      status = target->BindDC(static_cast<HDC>(surface.deviceContext()), &bound);
    }
    return status;
  }

  HRESULT MakeFormat(const FontSpec& font, ComPtr<IDWriteTextFormat>& format) {
    const std::u16string family = dwrite::ResolvedFamily(font.family);
    return directWrite->CreateTextFormat(WideText(family), nullptr, DWRITE_FONT_WEIGHT_NORMAL,
                                         DWRITE_FONT_STYLE_NORMAL, DWRITE_FONT_STRETCH_NORMAL,
                                         static_cast<float>(font.pixelSize), L"", format.GetAddressOf());
  }
};

class DirectWriteMeasurer final : public TextMeasurer {
 public:
  DirectWriteMeasurer(BoundTarget objects, ComPtr<IDWriteTextFormat> format, std::int32_t wrapWidth,
                      std::int32_t maxHeight)
      : objects_(std::move(objects)),
        format_(std::move(format)),
        wrapWidth_(static_cast<float>(wrapWidth)),
        maxHeight_(static_cast<float>(maxHeight)) {}

  bool MeasureHeight(std::u16string_view text, float& height) override {
    if (text.size() > UINT32_MAX) return false;
    ComPtr<IDWriteTextLayout> layout;
    if (FAILED(objects_.directWrite->CreateTextLayout(WideText(text), static_cast<UINT32>(text.size()),
                                                      format_.Get(), wrapWidth_, maxHeight_,
                                                      layout.GetAddressOf()))) {
      return false;
    }
    DWRITE_TEXT_METRICS metrics;
    if (SUCCEEDED(layout->GetMetrics(&metrics))) height = metrics.height;
    return true;
  }

 private:
  BoundTarget objects_;
  ComPtr<IDWriteTextFormat> format_;  // released before the target and factories
  float wrapWidth_;
  float maxHeight_;
};

class DirectWriteEngine final : public TextEngine {
 public:
  std::unique_ptr<TextMeasurer> CreateMeasurer(DrawingSurface& surface, const FontSpec& font,
                                               const PixelRect& boundRect, std::int32_t wrapWidth,
                                               std::int32_t maxHeight) override {
    BoundTarget objects;
    ComPtr<IDWriteTextFormat> format;
    HRESULT status = objects.Make(surface, boundRect);
    if (SUCCEEDED(status)) status = objects.MakeFormat(font, format);
    if (FAILED(status)) return nullptr;
    return std::make_unique<DirectWriteMeasurer>(std::move(objects), std::move(format), wrapWidth, maxHeight);
  }

  void Draw(DrawingSurface& surface, const FontSpec& font, const PixelRect& targetRect,
            const PixelRect& layoutRect, std::u16string_view text, const TextColor& color,
            Rgb background) override {
    if (text.size() > UINT32_MAX) return;
    BoundTarget objects;
    ComPtr<ID2D1SolidColorBrush> brush;
    ComPtr<IDWriteTextFormat> format;
    HRESULT status = objects.Make(surface, targetRect);
    if (SUCCEEDED(status)) {
      const D2D1_COLOR_F brushColor{color.red, color.green, color.blue, color.alpha};
      status = objects.target->CreateSolidColorBrush(&brushColor, nullptr, brush.GetAddressOf());
    }
    if (SUCCEEDED(status)) status = objects.MakeFormat(font, format);
    if (FAILED(status)) return;

    // The target's own coordinates start at the target's corner.
    auto relative = [](std::int32_t coordinate, std::int32_t origin) {
      return static_cast<float>(std::int64_t{coordinate} - origin);
    };
    const D2D1_RECT_F layout{relative(layoutRect.left, targetRect.left), relative(layoutRect.top, targetRect.top),
                             relative(layoutRect.right, targetRect.left),
                             relative(layoutRect.bottom, targetRect.top)};
    // Wine's DC render target starts from black instead of the DC's pixels,
    // so the background is laid down again; on Windows no pixel changes.
    const D2D1_COLOR_F backgroundColor{background.red / 255.0f, background.green / 255.0f,
                                       background.blue / 255.0f, 1.0f};
    objects.target->BeginDraw();
    objects.target->Clear(&backgroundColor);
    objects.target->DrawText(WideText(text), static_cast<UINT32>(text.size()), format.Get(), &layout, brush.Get(),
                             D2D1_DRAW_TEXT_OPTIONS_ENABLE_COLOR_FONT, DWRITE_MEASURING_MODE_NATURAL);
    objects.target->EndDraw(nullptr, nullptr);
  }
};

}  // namespace

TextEngine& SystemTextEngine() {
  static DirectWriteEngine engine;
  return engine;
}

}  // namespace folio::platform
