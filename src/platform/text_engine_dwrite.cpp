// Text through Direct2D and DirectWrite: a DC render target bound to the
// surface's memory DC.  Every object is made as one chain, each step only
// when the ones before it succeeded, and released in reverse order of making.
// The factories are the exception: kept until unload, and one Direct2D
// factory beyond it (dwrite_kept_objects.h).
#include <windows.h>

#include <d2d1.h>
#include <dwrite.h>
#include <wrl/client.h>

#include <algorithm>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/dwrite_kept_objects.h"
#include "platform/text_engine.h"

namespace folio::platform {
namespace {

using Microsoft::WRL::ComPtr;

const wchar_t* WideText(std::u16string_view text) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t));
  return reinterpret_cast<const wchar_t*>(text.data());
}

// Runs laid out on one line: the box only has to be wider than any.
constexpr float kOneLineWidth = 1.0e6f;

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

  HRESULT MakeFormat(const FontSpec& font, ComPtr<IDWriteTextFormat>& format, float scale = 1.0f) {
    const std::u16string family = dwrite::ResolvedFamily(font.family);
    return directWrite->CreateTextFormat(WideText(family), nullptr, DWRITE_FONT_WEIGHT_NORMAL,
                                         DWRITE_FONT_STYLE_NORMAL, DWRITE_FONT_STRETCH_NORMAL,
                                         static_cast<float>(font.pixelSize) * scale, L"", format.GetAddressOf());
  }
};

// What drawing onto a canvas takes besides layouts and glyphs.
struct CanvasPen {
  ID2D1RenderTarget& target;
  ID2D1Brush& brush;
  IDWriteTextFormat& readingFormat;  // half the font size, one line
  D2D1_POINT_2F origin;              // where the target's corner lies on the page
};

// Paragraphs and readings, one at a time.  The room above a line comes from
// uniform line spacing: every line is its font's line and half
// of one more high, its baseline lowered by that half.
class DirectWriteParagraphs final : public ParagraphLayouter {
 public:
  // Draws with `pen` when given; measures only without it.
  DirectWriteParagraphs(IDWriteFactory& directWrite, IDWriteTextFormat& format, float maxHeight,
                        const CanvasPen* pen)
      : directWrite_(directWrite), format_(format), maxHeight_(maxHeight), pen_(pen) {}

  bool LayOut(std::u16string_view paragraph, float width, bool roomForReadings) override {
    layout_.Reset();
    roomAbove_ = 0;
    if (paragraph.size() > UINT32_MAX || (roomForReadings && !NaturalLine())) return false;
    if (FAILED(directWrite_.CreateTextLayout(WideText(paragraph), static_cast<UINT32>(paragraph.size()), &format_,
                                             width, maxHeight_, layout_.GetAddressOf()))) {
      return false;
    }
    if (!roomForReadings) return true;
    roomAbove_ = naturalLine_->height / 2;
    return SUCCEEDED(layout_->SetLineSpacing(DWRITE_LINE_SPACING_METHOD_UNIFORM, naturalLine_->height + roomAbove_,
                                             naturalLine_->baseline + roomAbove_));
  }

  float Height() override {
    DWRITE_TEXT_METRICS metrics;
    return SUCCEEDED(layout_->GetMetrics(&metrics)) ? metrics.height : 0.0f;
  }

  std::optional<RunBox> FirstLineBox(std::size_t start, std::size_t length) override {
    // One box for each line and direction the run spans; mostly just one.
    std::vector<DWRITE_HIT_TEST_METRICS> boxes(1);
    UINT32 count = 0;
    HRESULT status = layout_->HitTestTextRange(static_cast<UINT32>(start), static_cast<UINT32>(length), 0, 0,
                                               boxes.data(), 1, &count);
    if (status == E_NOT_SUFFICIENT_BUFFER && count > 1) {
      boxes.resize(count);
      status = layout_->HitTestTextRange(static_cast<UINT32>(start), static_cast<UINT32>(length), 0, 0,
                                         boxes.data(), count, &count);
    }
    // Wine's DirectWrite doesn't hit-test; its lines and clusters tell the same.
    if (status == E_NOTIMPL) return FirstLineBoxOfClusters(start, length);
    if (FAILED(status) || count == 0) return std::nullopt;
    return UnionOnFirstLine(boxes.data(), count);
  }

  void DrawParagraph(float x, float y) override {
    if (pen_) pen_->target.DrawTextLayout(OnTarget(x, y), layout_.Get(), &pen_->brush, kDrawOptions);
  }

  std::optional<float> LayOutReading(std::u16string_view letters) override {
    reading_.Reset();
    DWRITE_TEXT_METRICS metrics;
    if (!pen_ || letters.size() > UINT32_MAX ||
        FAILED(directWrite_.CreateTextLayout(WideText(letters), static_cast<UINT32>(letters.size()),
                                             &pen_->readingFormat, kOneLineWidth, 0.0f,
                                             reading_.GetAddressOf())) ||
        FAILED(reading_->GetMetrics(&metrics))) {
      return std::nullopt;
    }
    return metrics.widthIncludingTrailingWhitespace;
  }

  void DrawReading(float x, float y) override {
    if (pen_ && reading_) pen_->target.DrawTextLayout(OnTarget(x, y), reading_.Get(), &pen_->brush, kDrawOptions);
  }

 private:
  D2D1_POINT_2F OnTarget(float x, float y) const { return {x - pen_->origin.x, y - pen_->origin.y}; }

  // The boxes on the first box's line, joined; a uniform line's top is the top of its room.
  static RunBox UnionOnFirstLine(const DWRITE_HIT_TEST_METRICS* boxes, UINT32 count) {
    RunBox box{boxes[0].left, boxes[0].left + boxes[0].width, boxes[0].top};
    for (UINT32 i = 1; i < count && boxes[i].top == boxes[0].top; ++i) {
      box.left = std::min(box.left, boxes[i].left);
      box.right = std::max(box.right, boxes[i].left + boxes[i].width);
    }
    return box;
  }

  // The same box added up from the widths of the clusters before the run on
  // its line and the heights of the lines above (left-to-right text from the
  // layout's left edge, as the paragraphs are).
  std::optional<RunBox> FirstLineBoxOfClusters(std::size_t start, std::size_t length) {
    std::vector<DWRITE_LINE_METRICS> lines;
    std::vector<DWRITE_CLUSTER_METRICS> clusters;
    if (!ReadAll(lines, &IDWriteTextLayout::GetLineMetrics) ||
        !ReadAll(clusters, &IDWriteTextLayout::GetClusterMetrics)) {
      return std::nullopt;
    }
    std::optional<RunBox> box;
    std::size_t line = 0, position = 0, lineEnd = lines.empty() ? 0 : lines[0].length;
    float x = 0, lineTop = 0;
    for (const DWRITE_CLUSTER_METRICS& cluster : clusters) {
      while (position >= lineEnd && line + 1 < lines.size()) {
        if (box) return box;  // the run goes on onto the next line
        lineTop += lines[line++].height;
        lineEnd += lines[line].length;
        x = 0;
      }
      if (position + cluster.length > start && position < start + length) {
        if (!box) box = RunBox{x, x, lineTop};
        box->right = x + cluster.width;
      }
      x += cluster.width;
      position += cluster.length;
    }
    return box;
  }

  // Every record of a layout's `Get` (GetLineMetrics, GetClusterMetrics) into `records`.
  template <typename Record>
  bool ReadAll(std::vector<Record>& records,
               HRESULT (STDMETHODCALLTYPE IDWriteTextLayout::*get)(Record*, UINT32, UINT32*)) {
    UINT32 count = 0;
    const HRESULT sizing = (layout_.Get()->*get)(nullptr, 0, &count);
    if (FAILED(sizing) && sizing != E_NOT_SUFFICIENT_BUFFER) return false;
    records.resize(count);
    return count == 0 || SUCCEEDED((layout_.Get()->*get)(records.data(), count, &count));
  }

  static constexpr D2D1_DRAW_TEXT_OPTIONS kDrawOptions = D2D1_DRAW_TEXT_OPTIONS_ENABLE_COLOR_FONT;

  struct LineMetrics {
    float height;
    float baseline;
  };
  // The line an empty text has in the format's font, found once.
  const std::optional<LineMetrics>& NaturalLine() {
    if (naturalLine_) return naturalLine_;
    ComPtr<IDWriteTextLayout> empty;
    DWRITE_LINE_METRICS line;
    UINT32 lines = 0;
    if (SUCCEEDED(directWrite_.CreateTextLayout(L"", 0, &format_, 0.0f, 0.0f, empty.GetAddressOf())) &&
        SUCCEEDED(empty->GetLineMetrics(&line, 1, &lines)) && lines == 1) {
      naturalLine_ = LineMetrics{line.height, line.baseline};
    }
    return naturalLine_;
  }

  IDWriteFactory& directWrite_;
  IDWriteTextFormat& format_;
  float maxHeight_;
  const CanvasPen* pen_;
  std::optional<LineMetrics> naturalLine_;
  ComPtr<IDWriteTextLayout> layout_;   // the paragraph laid out last
  ComPtr<IDWriteTextLayout> reading_;  // the reading laid out last
  float roomAbove_ = 0;
};

// The advance of `run` laid out on one line in `format`, which `layout` then
// holds: without kerning, which not every DirectWrite applies, so that runs
// in columns advance alike everywhere; in the font's vertical forms when asked.
std::optional<float> RunAdvance(IDWriteFactory& directWrite, IDWriteTextFormat& format, std::u16string_view run,
                                ComPtr<IDWriteTextLayout>& layout, bool verticalForms = false) {
  if (run.size() > UINT32_MAX) return std::nullopt;
  ComPtr<IDWriteTypography> typography;
  DWRITE_TEXT_METRICS metrics;
  HRESULT status = directWrite.CreateTextLayout(WideText(run), static_cast<UINT32>(run.size()), &format,
                                                kOneLineWidth, 0.0f, layout.GetAddressOf());
  if (SUCCEEDED(status)) status = layout->SetWordWrapping(DWRITE_WORD_WRAPPING_NO_WRAP);
  if (SUCCEEDED(status)) status = directWrite.CreateTypography(typography.GetAddressOf());
  if (SUCCEEDED(status)) status = typography->AddFontFeature({DWRITE_FONT_FEATURE_TAG_KERNING, 0});
  if (SUCCEEDED(status) && verticalForms)
    status = typography->AddFontFeature({DWRITE_FONT_FEATURE_TAG_VERTICAL_WRITING, 1});
  if (SUCCEEDED(status)) status = layout->SetTypography(typography.Get(), {0, static_cast<UINT32>(run.size())});
  if (SUCCEEDED(status)) status = layout->GetMetrics(&metrics);
  if (FAILED(status)) return std::nullopt;
  return metrics.widthIncludingTrailingWhitespace;
}

// The glyphs that a layout of one character draws, as its Draw hands them
// over: in whichever font the layout chose for it, placed from the layout's
// left end of the baseline.
struct ShapedCluster {
  struct Glyph {
    ComPtr<IDWriteFontFace> face;
    float emSize;
    UINT16 index;
    float x;  // from the layout's left edge
    float rise;
  };
  std::vector<Glyph> glyphs;
  float advance = 0;
};

// Takes the glyph runs that IDWriteTextLayout::Draw would draw, instead of
// drawing them.  It lives on the stack for one Draw, so it counts no references.
class GlyphRunTaker final : public IDWriteTextRenderer {
 public:
  explicit GlyphRunTaker(ShapedCluster& shaped) : shaped_(shaped) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (id == __uuidof(IUnknown) || id == __uuidof(IDWritePixelSnapping) || id == __uuidof(IDWriteTextRenderer)) {
      *object = this;
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE IsPixelSnappingDisabled(void*, BOOL* disabled) override {
    *disabled = TRUE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetCurrentTransform(void*, DWRITE_MATRIX* transform) override {
    *transform = DWRITE_MATRIX{1, 0, 0, 1, 0, 0};
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPixelsPerDip(void*, FLOAT* pixels) override {
    *pixels = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DrawGlyphRun(void*, FLOAT x, FLOAT, DWRITE_MEASURING_MODE, const DWRITE_GLYPH_RUN* run,
                                         const DWRITE_GLYPH_RUN_DESCRIPTION*, IUnknown*) override {
    try {
      float pen = x;
      for (UINT32 i = 0; i < run->glyphCount; ++i) {
        const DWRITE_GLYPH_OFFSET offset = run->glyphOffsets ? run->glyphOffsets[i] : DWRITE_GLYPH_OFFSET{0, 0};
        shaped_.glyphs.push_back({run->fontFace, run->fontEmSize, run->glyphIndices[i], pen + offset.advanceOffset,
                                  offset.ascenderOffset});
        if (run->glyphAdvances) pen += run->glyphAdvances[i];
      }
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DrawUnderline(void*, FLOAT, FLOAT, const DWRITE_UNDERLINE*, IUnknown*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DrawStrikethrough(void*, FLOAT, FLOAT, const DWRITE_STRIKETHROUGH*,
                                              IUnknown*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DrawInlineObject(void*, FLOAT, FLOAT, IDWriteInlineObject*, BOOL, BOOL,
                                             IUnknown*) override {
    return S_OK;
  }

 private:
  ShapedCluster& shaped_;
};

// Glyphs in columns.  A character is shaped in a layout of its own, with
// the font's vertical forms (OpenType's `vert`) where asked: on a short
// layout every DirectWrite applies them, and the layout chooses a font for
// characters that the text's font lacks.  Each character is shaped once per
// page; its glyphs are then drawn where the caller placed it, all glyphs of
// one font in one glyph run.
class DirectWriteGlyphs final : public GlyphPen {
 public:
  DirectWriteGlyphs(IDWriteFactory& directWrite, const FontSpec& font, const CanvasPen& pen)
      : directWrite_(directWrite), family_(dwrite::ResolvedFamily(font.family)), pen_(pen) {}

  std::optional<float> Advance(std::u16string_view run, float pixelSize) override {
    IDWriteTextFormat* format = FormatFor(pixelSize);
    ComPtr<IDWriteTextLayout> layout;
    return format ? RunAdvance(directWrite_, *format, run, layout) : std::nullopt;
  }

  bool HasVerticalForm(std::u16string_view cluster) override {
    const ShapedCluster* vertical = Shaped(cluster, kProbeSize, true);
    const ShapedCluster* across = Shaped(cluster, kProbeSize, false);
    if (!vertical || !across || vertical->glyphs.size() != across->glyphs.size()) return vertical && across;
    return !std::equal(
        vertical->glyphs.begin(), vertical->glyphs.end(), across->glyphs.begin(),
        [](const ShapedCluster::Glyph& a, const ShapedCluster::Glyph& b) { return a.index == b.index; });
  }

  bool HasGlyphs(std::u16string_view cluster) override {
    const ShapedCluster* shaped = Shaped(cluster, kProbeSize, false);
    return shaped && !shaped->glyphs.empty() &&
           std::none_of(shaped->glyphs.begin(), shaped->glyphs.end(),
                        [](const ShapedCluster::Glyph& glyph) { return glyph.index == 0; });
  }

  void DrawUpright(std::u16string_view text, std::span<const UprightCluster> clusters, float pixelSize) override {
    // Glyphs by font, each with its place on the target.
    std::map<IDWriteFontFace*, Run> runs;
    for (const UprightCluster& cluster : clusters) {
      const ShapedCluster* shaped = Shaped(text.substr(cluster.start, cluster.length), pixelSize, true);
      if (!shaped) continue;
      for (const ShapedCluster::Glyph& glyph : shaped->glyphs) {
        Run& run = runs[glyph.face.Get()];
        run.face = glyph.face.Get();
        run.emSize = glyph.emSize;
        run.indices.push_back(glyph.index);
        // Offsets from the run's origin, the target's corner; ascender offsets rise.
        run.offsets.push_back(
            {cluster.x - shaped->advance / 2 + glyph.x - pen_.origin.x, pen_.origin.y - cluster.y + glyph.rise});
      }
    }
    for (auto& [face, run] : runs) {
      const std::vector<FLOAT> advances(run.indices.size(), 0.0f);
      const DWRITE_GLYPH_RUN glyphRun{run.face,
                                      run.emSize,
                                      static_cast<UINT32>(run.indices.size()),
                                      run.indices.data(),
                                      advances.data(),
                                      run.offsets.data(),
                                      FALSE,
                                      0};
      pen_.target.DrawGlyphRun({0, 0}, &glyphRun, &pen_.brush, DWRITE_MEASURING_MODE_NATURAL);
    }
  }

  void DrawRun(std::u16string_view run, float pixelSize, float x, float y, bool turned) override {
    IDWriteTextFormat* format = FormatFor(pixelSize);
    ComPtr<IDWriteTextLayout> layout;
    DWRITE_LINE_METRICS line;
    UINT32 lines = 0;
    if (!format || !RunAdvance(directWrite_, *format, run, layout) ||
        FAILED(layout->GetLineMetrics(&line, 1, &lines)) || lines == 0) {
      return;
    }
    const D2D1_POINT_2F start{x - pen_.origin.x, y - pen_.origin.y};
    // A quarter turn clockwise about the baseline's start.
    if (turned) pen_.target.SetTransform(D2D1_MATRIX_3X2_F{0, 1, -1, 0, start.x + start.y, start.y - start.x});
    pen_.target.DrawTextLayout({start.x, start.y - line.baseline}, layout.Get(), &pen_.brush,
                               D2D1_DRAW_TEXT_OPTIONS_ENABLE_COLOR_FONT);
    if (turned) pen_.target.SetTransform(D2D1_MATRIX_3X2_F{1, 0, 0, 1, 0, 0});
  }

 private:
  struct Run {
    IDWriteFontFace* face = nullptr;  // held by the shaped clusters
    float emSize = 0;
    std::vector<UINT16> indices;
    std::vector<DWRITE_GLYPH_OFFSET> offsets;
  };
  // Whether a font has a character doesn't depend on the size it's asked at.
  static constexpr float kProbeSize = 16;

  IDWriteTextFormat* FormatFor(float pixelSize) {
    ComPtr<IDWriteTextFormat>& format = formats_[pixelSize];
    if (!format) {
      if (FAILED(directWrite_.CreateTextFormat(WideText(family_), nullptr, DWRITE_FONT_WEIGHT_NORMAL,
                                               DWRITE_FONT_STYLE_NORMAL, DWRITE_FONT_STRETCH_NORMAL, pixelSize,
                                               L"", format.GetAddressOf())) ||
          FAILED(format->SetWordWrapping(DWRITE_WORD_WRAPPING_NO_WRAP))) {
        format.Reset();
      }
    }
    return format.Get();
  }

  // `cluster` shaped at `pixelSize`, with the vertical forms when asked;
  // null when it can't be.
  const ShapedCluster* Shaped(std::u16string_view cluster, float pixelSize, bool verticalForms) {
    std::u16string key(cluster);
    key.push_back(verticalForms ? u'v' : u'h');
    auto& bySize = shaped_[pixelSize];
    if (const auto found = bySize.find(key); found != bySize.end())
      return found->second ? &*found->second : nullptr;
    std::optional<ShapedCluster>& shaped = bySize[key];
    IDWriteTextFormat* format = FormatFor(pixelSize);
    ComPtr<IDWriteTextLayout> layout;
    const std::optional<float> advance =
        format ? RunAdvance(directWrite_, *format, cluster, layout, verticalForms) : std::nullopt;
    if (!advance) return nullptr;
    shaped.emplace();
    shaped->advance = *advance;
    GlyphRunTaker taker(*shaped);
    if (FAILED(layout->Draw(nullptr, &taker, 0.0f, 0.0f))) {
      shaped.reset();
      return nullptr;
    }
    return &*shaped;
  }

  IDWriteFactory& directWrite_;
  std::u16string family_;
  const CanvasPen& pen_;
  std::map<float, ComPtr<IDWriteTextFormat>> formats_;
  std::map<float, std::unordered_map<std::u16string, std::optional<ShapedCluster>>> shaped_;
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

  ParagraphLayouter* Paragraphs() override {
    if (!paragraphs_) paragraphs_.emplace(*objects_.directWrite.Get(), *format_.Get(), maxHeight_, nullptr);
    return &*paragraphs_;
  }

  std::optional<float> MeasureAdvance(std::u16string_view run) override {
    ComPtr<IDWriteTextLayout> layout;
    return RunAdvance(*objects_.directWrite.Get(), *format_.Get(), run, layout);
  }

 private:
  BoundTarget objects_;
  ComPtr<IDWriteTextFormat> format_;  // released before the target and factories
  float wrapWidth_;
  float maxHeight_;
  std::optional<DirectWriteParagraphs> paragraphs_;  // made when first asked for, released first
};

// A page being drawn: BeginDraw when made, EndDraw when destroyed.
class DirectWriteCanvas final : public TextCanvas {
 public:
  // The objects' chain: target, brush, format; null when a step fails.
  static std::unique_ptr<DirectWriteCanvas> Begin(DrawingSurface& surface, const FontSpec& font,
                                                  const PixelRect& targetRect, const PixelRect& layoutRect,
                                                  const TextColor& color, Rgb background) {
    std::unique_ptr<DirectWriteCanvas> canvas(new DirectWriteCanvas(font, targetRect, layoutRect));
    HRESULT status = canvas->objects_.Make(surface, targetRect);
    if (SUCCEEDED(status)) {
      const D2D1_COLOR_F brushColor{color.red, color.green, color.blue, color.alpha};
      status = canvas->objects_.target->CreateSolidColorBrush(&brushColor, nullptr, canvas->brush_.GetAddressOf());
    }
    if (SUCCEEDED(status)) status = canvas->objects_.MakeFormat(font, canvas->format_);
    if (FAILED(status)) return nullptr;
    // Wine's DC render target starts from black instead of the DC's pixels,
    // so the background is laid down again; on Windows no pixel changes.
    const D2D1_COLOR_F backgroundColor{background.red / 255.0f, background.green / 255.0f,
                                       background.blue / 255.0f, 1.0f};
    canvas->objects_.target->BeginDraw();
    canvas->drawing_ = true;
    canvas->objects_.target->Clear(&backgroundColor);
    return canvas;
  }

  ~DirectWriteCanvas() override {
    glyphs_.reset();
    paragraphs_.reset();
    if (drawing_) objects_.target->EndDraw(nullptr, nullptr);
  }

  void DrawText(std::u16string_view text) override {
    if (text.size() > UINT32_MAX) return;
    const D2D1_RECT_F box{layoutBox_.left, layoutBox_.top, layoutBox_.right, layoutBox_.bottom};
    objects_.target->DrawText(WideText(text), static_cast<UINT32>(text.size()), format_.Get(), &box, brush_.Get(),
                              D2D1_DRAW_TEXT_OPTIONS_ENABLE_COLOR_FONT, DWRITE_MEASURING_MODE_NATURAL);
  }

  ParagraphLayouter* Paragraphs() override {
    if (paragraphs_) return &*paragraphs_;
    if (!readingFormat_) {
      HRESULT status = objects_.MakeFormat(font_, readingFormat_, 0.5f);
      if (SUCCEEDED(status)) status = readingFormat_->SetWordWrapping(DWRITE_WORD_WRAPPING_NO_WRAP);
      if (FAILED(status)) {
        readingFormat_.Reset();
        return nullptr;
      }
    }
    pen_.emplace(CanvasPen{*objects_.target.Get(), *brush_.Get(), *readingFormat_.Get(), origin_});
    paragraphs_.emplace(*objects_.directWrite.Get(), *format_.Get(), layoutBox_.bottom - layoutBox_.top, &*pen_);
    return &*paragraphs_;
  }

  GlyphPen* Glyphs() override {
    if (!glyphs_) {
      if (!Paragraphs()) return nullptr;  // which makes the pen that glyphs draw with too
      glyphs_.emplace(*objects_.directWrite.Get(), font_, *pen_);
    }
    return &*glyphs_;
  }

 private:
  DirectWriteCanvas(const FontSpec& font, const PixelRect& targetRect, const PixelRect& layoutRect)
      : family_(font.family),
        font_{family_, font.pixelSize},
        origin_{static_cast<float>(targetRect.left), static_cast<float>(targetRect.top)},
        layoutBox_{Relative(layoutRect.left, targetRect.left), Relative(layoutRect.top, targetRect.top),
                   Relative(layoutRect.right, targetRect.left), Relative(layoutRect.bottom, targetRect.top)} {}

  // A page coordinate in the target's own, which start at the target's corner.
  static float Relative(std::int32_t coordinate, std::int32_t origin) {
    return static_cast<float>(std::int64_t{coordinate} - origin);
  }

  std::u16string family_;
  FontSpec font_;  // its family is family_
  D2D1_POINT_2F origin_;
  D2D1_RECT_F layoutBox_;  // in the target's coordinates
  BoundTarget objects_;
  ComPtr<ID2D1SolidColorBrush> brush_;
  ComPtr<IDWriteTextFormat> format_;
  ComPtr<IDWriteTextFormat> readingFormat_;
  std::optional<CanvasPen> pen_;
  std::optional<DirectWriteParagraphs> paragraphs_;  // released before what it draws with
  std::optional<DirectWriteGlyphs> glyphs_;          // as paragraphs_
  bool drawing_ = false;
};

class DirectWriteEngine final : public TextEngine {
 public:
  // Measuring draws nothing, so it takes no Direct2D factory from the pool:
  // under Wine each one in use holds a Direct3D device.
  std::unique_ptr<TextMeasurer> CreateMeasurer(DrawingSurface&, const FontSpec& font, const PixelRect&,
                                               std::int32_t wrapWidth, std::int32_t maxHeight) override {
    return CreateLayoutMeasurer(font, wrapWidth, maxHeight);
  }

  // Laying text out takes DirectWrite alone: the shared factory, which is
  // free-threaded, and a text format of the measurer's own.
  std::unique_ptr<TextMeasurer> CreateLayoutMeasurer(const FontSpec& font, std::int32_t wrapWidth,
                                                     std::int32_t maxHeight) override {
    BoundTarget objects;
    ComPtr<IDWriteTextFormat> format;
    HRESULT status = dwrite::SharedFactory(objects.directWrite);
    if (SUCCEEDED(status)) status = objects.MakeFormat(font, format);
    if (FAILED(status)) return nullptr;
    return std::make_unique<DirectWriteMeasurer>(std::move(objects), std::move(format), wrapWidth, maxHeight);
  }

  // Wine's DirectWrite reads glyph metrics from FreeType behind one lock for
  // the whole process: there, measuring workers made listing 1.25 to 1.5
  // times slower, not faster.
  bool LaysOutFasterOnSeveralThreads() const override {
    static const bool underWine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return !underWine;
  }

  std::unique_ptr<TextCanvas> BeginDrawing(DrawingSurface& surface, const FontSpec& font,
                                           const PixelRect& targetRect, const PixelRect& layoutRect,
                                           const TextColor& color, Rgb background) override {
    return DirectWriteCanvas::Begin(surface, font, targetRect, layoutRect, color, background);
  }
};

}  // namespace

TextEngine& SystemTextEngine() {
  static DirectWriteEngine engine;
  return engine;
}

}  // namespace folio::platform
