// Text through Pango and Cairo.  Measuring and drawing lay text out alike:
// unhinted metrics, unrounded glyph positions, the size in pixels, wrapping
// at word boundaries and inside a word only when it alone is too wide.
#include <dlfcn.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <numbers>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/unicode.h"
#include "platform/text_engine.h"

namespace folio::platform {
namespace {

struct GObjectUnref {
  void operator()(gpointer object) const noexcept { g_object_unref(object); }
};
struct FontDescriptionFree {
  void operator()(PangoFontDescription* description) const noexcept { pango_font_description_free(description); }
};
struct FontOptionsDestroy {
  void operator()(cairo_font_options_t* options) const noexcept { cairo_font_options_destroy(options); }
};
struct CairoSurfaceDestroy {
  void operator()(cairo_surface_t* surface) const noexcept { cairo_surface_destroy(surface); }
};
struct CairoDestroy {
  void operator()(cairo_t* cairo) const noexcept { cairo_destroy(cairo); }
};
using Layout = std::unique_ptr<PangoLayout, GObjectUnref>;
using Context = std::unique_ptr<PangoContext, GObjectUnref>;
using FontDescription = std::unique_ptr<PangoFontDescription, FontDescriptionFree>;
using FontOptions = std::unique_ptr<cairo_font_options_t, FontOptionsDestroy>;
using CairoSurface = std::unique_ptr<cairo_surface_t, CairoSurfaceDestroy>;
using Cairo = std::unique_ptr<cairo_t, CairoDestroy>;

// Pango keeps widths in an int of 1/PANGO_SCALE pixels.
constexpr std::int32_t kMaxPangoPixels = INT_MAX / PANGO_SCALE;
// FreeType can't scale a face beyond 65535 pixels, and Cairo then keeps the
// face failed for the rest of the process: larger sizes are refused here.
constexpr std::int32_t kMaxFontPixels = 32767;

// A layout in the font's family at `pixelSize`, wrapping at `wrapWidth`
// pixels; null for sizes that can't be drawn and for negative widths.
Layout MakeLayout(std::u16string_view family, double pixelSize, std::int32_t wrapWidth) {
  if (!(pixelSize > 0) || pixelSize > kMaxFontPixels || wrapWidth < 0) return nullptr;
  // The calling thread's font map: the plug-in may be called from several threads.
  Context context(pango_font_map_create_context(pango_cairo_font_map_get_default()));
  FontOptions options(cairo_font_options_create());
  if (!context || cairo_font_options_status(options.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_antialias(options.get(), CAIRO_ANTIALIAS_GRAY);
  pango_cairo_context_set_font_options(context.get(), options.get());
  pango_context_set_round_glyph_positions(context.get(), FALSE);
  pango_context_set_base_dir(context.get(), PANGO_DIRECTION_LTR);

  FontDescription description(pango_font_description_new());
  const std::string familyName = base::Utf16ToUtf8(family);
  if (!familyName.empty()) pango_font_description_set_family(description.get(), familyName.c_str());
  pango_font_description_set_absolute_size(description.get(), pixelSize * PANGO_SCALE);

  Layout layout(pango_layout_new(context.get()));
  pango_layout_set_font_description(layout.get(), description.get());
  pango_layout_set_auto_dir(layout.get(), FALSE);  // every paragraph starts at the left, as DirectWrite's do
  pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
  // A word broken at the box's edge gets no hyphen, as in DirectWrite.
  PangoAttrList* attributes = pango_attr_list_new();
  pango_attr_list_insert(attributes, pango_attr_insert_hyphens_new(FALSE));
  pango_layout_set_attributes(layout.get(), attributes);
  pango_attr_list_unref(attributes);
  pango_layout_set_width(layout.get(), std::min(wrapWidth, kMaxPangoPixels) * PANGO_SCALE);
  return layout;
}

Layout MakeLayout(const FontSpec& font, std::int32_t wrapWidth) {
  return MakeLayout(font.family, font.pixelSize, wrapWidth);
}

// A layout of one line however long, without kerning (which not every
// DirectWrite applies, so that runs in columns advance alike everywhere),
// and in the font's vertical forms when asked.
Layout MakeRunLayout(std::u16string_view family, double pixelSize, bool verticalForms) {
  Layout layout = MakeLayout(family, pixelSize, 0);
  if (!layout) return nullptr;
  pango_layout_set_width(layout.get(), -1);
  PangoAttrList* attributes = pango_attr_list_copy(pango_layout_get_attributes(layout.get()));
  pango_attr_list_insert(attributes, pango_attr_font_features_new(verticalForms ? "kern 0, vert 1" : "kern 0"));
  pango_layout_set_attributes(layout.get(), attributes);
  pango_attr_list_unref(attributes);
  return layout;
}

bool SetLayoutText(PangoLayout* layout, std::u16string_view text) {
  const std::string utf8 = base::Utf16ToUtf8(text);
  if (utf8.size() > INT_MAX) return false;
  pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.size()));
  return true;
}

float Pixels(int pangoUnits) {
  return static_cast<float>(pangoUnits) / PANGO_SCALE;
}

PangoRectangle LogicalExtents(PangoLayout* layout) {
  PangoRectangle logical;
  pango_layout_get_extents(layout, nullptr, &logical);
  return logical;
}

// Paragraphs and readings, one at a time.  The room above a line is Pango's
// spacing between lines, and above the first line an offset.
class PangoParagraphs final : public ParagraphLayouter {
 public:
  // Null when the font can't be laid out.  Draws onto `cairo` when given.
  static std::unique_ptr<PangoParagraphs> Make(const FontSpec& font, cairo_t* cairo) {
    Layout paragraph = MakeLayout(font, 0);
    if (!paragraph) return nullptr;
    // An empty layout is one line of the font high; readings take half of it.
    pango_layout_set_text(paragraph.get(), "", 0);
    const int room = LogicalExtents(paragraph.get()).height / 2;
    return std::unique_ptr<PangoParagraphs>(new PangoParagraphs(font, cairo, std::move(paragraph), room));
  }

  bool LayOut(std::u16string_view paragraph, float width, bool roomForReadings) override {
    const float pangoWidth = std::min(width, static_cast<float>(kMaxPangoPixels)) * PANGO_SCALE;
    pango_layout_set_width(paragraph_.get(), static_cast<int>(pangoWidth));
    roomAbove_ = roomForReadings ? room_ : 0;
    pango_layout_set_spacing(paragraph_.get(), roomAbove_);
    utf16_ = paragraph;
    return SetLayoutText(paragraph_.get(), paragraph);
  }

  float Height() override { return Pixels(LogicalExtents(paragraph_.get()).height + roomAbove_); }

  std::optional<RunBox> FirstLineBox(std::size_t start, std::size_t length) override {
    const char* text = pango_layout_get_text(paragraph_.get());
    const char* at = text + base::Utf16ToUtf8(utf16_.substr(0, start)).size();
    const char* end = text + base::Utf16ToUtf8(utf16_.substr(0, start + length)).size();
    if (at >= end) return std::nullopt;
    PangoRectangle first;
    pango_layout_index_to_pos(paragraph_.get(), static_cast<int>(at - text), &first);
    int left = std::min(first.x, first.x + first.width);
    int right = std::max(first.x, first.x + first.width);
    // Characters after the first on its line widen the box; a wrap ends it.
    for (at = g_utf8_next_char(at); at < end; at = g_utf8_next_char(at)) {
      PangoRectangle next;
      pango_layout_index_to_pos(paragraph_.get(), static_cast<int>(at - text), &next);
      if (next.y != first.y) break;
      left = std::min({left, next.x, next.x + next.width});
      right = std::max({right, next.x, next.x + next.width});
    }
    // Line tops are below the room; the room above a line is the spacing before it.
    return RunBox{Pixels(left), Pixels(right), Pixels(first.y)};
  }

  void DrawParagraph(float x, float y) override {
    if (!cairo_) return;
    cairo_move_to(cairo_, x, y + Pixels(roomAbove_));
    pango_cairo_show_layout(cairo_, paragraph_.get());
  }

  std::optional<float> LayOutReading(std::u16string_view letters) override {
    if (!reading_) {
      reading_ = MakeLayout(family_, pixelSize_ / 2.0, 0);
      if (!reading_) return std::nullopt;
      pango_layout_set_width(reading_.get(), -1);  // one line, however long
    }
    if (!SetLayoutText(reading_.get(), letters)) return std::nullopt;
    return Pixels(LogicalExtents(reading_.get()).width);
  }

  void DrawReading(float x, float y) override {
    if (!cairo_ || !reading_) return;
    cairo_move_to(cairo_, x, y);
    pango_cairo_show_layout(cairo_, reading_.get());
  }

 private:
  PangoParagraphs(const FontSpec& font, cairo_t* cairo, Layout paragraph, int room)
      : family_(font.family),
        pixelSize_(font.pixelSize),
        cairo_(cairo),
        paragraph_(std::move(paragraph)),
        room_(room) {}

  std::u16string family_;
  double pixelSize_;
  cairo_t* cairo_;
  Layout paragraph_;
  Layout reading_;
  int room_;              // Pango units: half a line of the font
  int roomAbove_ = 0;     // the room of the paragraph laid out last
  std::u16string utf16_;  // the paragraph laid out last
};

class PangoMeasurer final : public TextMeasurer {
 public:
  PangoMeasurer(Layout layout, const FontSpec& font)
      : layout_(std::move(layout)), family_(font.family), pixelSize_(font.pixelSize) {}

  bool MeasureHeight(std::u16string_view text, float& height) override {
    if (!SetLayoutText(layout_.get(), text)) return false;
    height = Pixels(LogicalExtents(layout_.get()).height);
    return true;
  }

  ParagraphLayouter* Paragraphs() override {
    if (!paragraphs_) paragraphs_ = PangoParagraphs::Make({family_, pixelSize_}, nullptr);
    return paragraphs_.get();
  }

  std::optional<float> MeasureAdvance(std::u16string_view run) override {
    if (!runs_) runs_ = MakeRunLayout(family_, pixelSize_, false);
    if (!runs_ || !SetLayoutText(runs_.get(), run)) return std::nullopt;
    return Pixels(LogicalExtents(runs_.get()).width);
  }

 private:
  Layout layout_;
  std::u16string family_;
  std::int32_t pixelSize_;
  std::unique_ptr<PangoParagraphs> paragraphs_;  // made when first asked for
  Layout runs_;                                  // one line, for advances
};

// Glyphs in columns: runs laid out on one line at any size, and upright
// characters shaped with the font's vertical forms (OpenType's `vert`),
// each glyph then moved to the place its character was given.
class PangoGlyphs final : public GlyphPen {
 public:
  PangoGlyphs(std::u16string_view family, cairo_t* cairo) : family_(family), cairo_(cairo) {}

  std::optional<float> Advance(std::u16string_view run, float pixelSize) override {
    PangoLayout* layout = RunLayout(pixelSize, false);
    if (!layout || !SetLayoutText(layout, run)) return std::nullopt;
    return Pixels(LogicalExtents(layout).width);
  }

  bool HasVerticalForm(std::u16string_view cluster) override {
    return GlyphIds(cluster, true) != GlyphIds(cluster, false);
  }

  bool HasGlyphs(std::u16string_view cluster) override {
    PangoLayout* layout = RunLayout(kProbeSize, false);
    return layout && SetLayoutText(layout, cluster) && pango_layout_get_unknown_glyphs_count(layout) == 0;
  }

  // Each distinct character of the page is shaped once, all of them in one
  // line; then every occurrence gets its character's glyphs, placed, in one
  // glyph string a font.
  void DrawUpright(std::u16string_view text, std::span<const UprightCluster> clusters, float pixelSize) override {
    PangoLayout* layout = RunLayout(pixelSize, true);
    if (!layout || clusters.empty()) return;
    std::unordered_map<std::u16string_view, std::size_t> distinctIndex;
    std::vector<std::size_t> distinctOf(clusters.size());
    std::u16string distinct;
    std::vector<int> byteStarts;  // of each distinct character in the layout's UTF-8 text
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < clusters.size(); ++i) {
      const std::u16string_view cluster = text.substr(clusters[i].start, clusters[i].length);
      const auto [found, added] = distinctIndex.emplace(cluster, byteStarts.size());
      if (added) {
        byteStarts.push_back(static_cast<int>(bytes));
        bytes += base::Utf16ToUtf8(cluster).size();
        distinct.append(cluster);
      }
      distinctOf[i] = found->second;
    }
    if (!SetLayoutText(layout, distinct)) return;
    const std::vector<std::vector<ShapedGlyph>> shaped = ShapedByCharacter(layout, byteStarts);

    std::map<PangoFont*, std::unique_ptr<PangoGlyphString, GlyphStringFree>> placed;
    for (std::size_t i = 0; i < clusters.size(); ++i) {
      const std::vector<ShapedGlyph>& glyphs = shaped[distinctOf[i]];
      int advance = 0;  // Pango units
      for (const ShapedGlyph& glyph : glyphs) advance += glyph.info.geometry.width;
      // Every glyph goes to its character's place: no advance of its own,
      // an offset from the string's origin at (0, 0).
      double left = clusters[i].x - Pixels(advance) / 2;
      for (const ShapedGlyph& glyph : glyphs) {
        auto& string = placed[glyph.font];
        if (!string) string.reset(pango_glyph_string_new());
        const int at = string->num_glyphs;
        pango_glyph_string_set_size(string.get(), at + 1);
        PangoGlyphInfo& info = string->glyphs[at] = glyph.info;
        string->log_clusters[at] = 0;
        info.geometry.x_offset += static_cast<int>(std::lround(left * PANGO_SCALE));
        info.geometry.y_offset += static_cast<int>(std::lround(clusters[i].y * PANGO_SCALE));
        info.geometry.width = 0;
        left += Pixels(glyph.info.geometry.width);
      }
    }
    for (const auto& [font, string] : placed) {
      cairo_move_to(cairo_, 0, 0);
      pango_cairo_show_glyph_string(cairo_, font, string.get());
    }
  }

  void DrawRun(std::u16string_view run, float pixelSize, float x, float y, bool turned) override {
    PangoLayout* layout = RunLayout(pixelSize, false);
    if (!layout || !SetLayoutText(layout, run)) return;
    cairo_save(cairo_);
    cairo_translate(cairo_, x, y);
    if (turned) cairo_rotate(cairo_, std::numbers::pi / 2);
    cairo_move_to(cairo_, 0, -Pixels(pango_layout_get_baseline(layout)));
    pango_cairo_show_layout(cairo_, layout);
    cairo_restore(cairo_);
  }

 private:
  struct GlyphStringFree {
    void operator()(PangoGlyphString* glyphs) const noexcept { pango_glyph_string_free(glyphs); }
  };
  // A glyph of a character in the font it was shaped in, which the layout holds.
  struct ShapedGlyph {
    PangoFont* font;
    PangoGlyphInfo info;
  };

  // The glyphs of each character of the one-line `layout`, whose characters
  // begin at the bytes `byteStarts` of its text, in order.
  static std::vector<std::vector<ShapedGlyph>> ShapedByCharacter(PangoLayout* layout,
                                                                 const std::vector<int>& byteStarts) {
    std::vector<std::vector<ShapedGlyph>> shaped(byteStarts.size());
    PangoLayoutLine* line = pango_layout_get_line_readonly(layout, 0);
    for (GSList* runs = line ? line->runs : nullptr; runs; runs = runs->next) {
      const auto* run = static_cast<const PangoGlyphItem*>(runs->data);
      for (int glyph = 0; glyph < run->glyphs->num_glyphs; ++glyph) {
        const int byte = run->item->offset + run->glyphs->log_clusters[glyph];
        const auto after = std::upper_bound(byteStarts.begin(), byteStarts.end(), byte);
        const auto character =
            static_cast<std::size_t>(std::max<std::ptrdiff_t>(after - byteStarts.begin() - 1, 0));
        shaped[character].push_back({run->item->analysis.font, run->glyphs->glyphs[glyph]});
      }
    }
    return shaped;
  }
  // Whether a font has a character doesn't depend on the size it's asked at.
  static constexpr float kProbeSize = 16;

  PangoLayout* RunLayout(float pixelSize, bool verticalForms) {
    Layout& layout = (verticalForms ? verticalLayouts_ : layouts_)[pixelSize];
    if (!layout) layout = MakeRunLayout(family_, pixelSize, verticalForms);
    return layout.get();
  }

  std::vector<PangoGlyph> GlyphIds(std::u16string_view cluster, bool verticalForms) {
    std::vector<PangoGlyph> ids;
    PangoLayout* layout = RunLayout(kProbeSize, verticalForms);
    if (!layout || !SetLayoutText(layout, cluster)) return ids;
    PangoLayoutLine* line = pango_layout_get_line_readonly(layout, 0);
    for (GSList* runs = line ? line->runs : nullptr; runs; runs = runs->next) {
      const auto* run = static_cast<const PangoGlyphItem*>(runs->data);
      for (int glyph = 0; glyph < run->glyphs->num_glyphs; ++glyph)
        ids.push_back(run->glyphs->glyphs[glyph].glyph);
    }
    return ids;
  }

  std::u16string family_;
  cairo_t* cairo_;
  std::map<float, Layout> layouts_;          // by size
  std::map<float, Layout> verticalLayouts_;  // by size, with vertical forms
};

std::int32_t ClampTo(std::int32_t value, std::int32_t limit) {
  return std::clamp(value, 0, limit);
}

// Copies a Cairo RGB24 image into the surface's BGR rows at (left, top).
void CopyIntoSurface(cairo_surface_t* image, const DrawingSurface& surface, std::int32_t left, std::int32_t top) {
  const SurfaceGeometry& page = surface.geometry();
  const int width = cairo_image_surface_get_width(image);
  const int height = cairo_image_surface_get_height(image);
  const int imageStride = cairo_image_surface_get_stride(image);
  const unsigned char* imageRows = cairo_image_surface_get_data(image);
  for (int y = 0; y < height; ++y) {
    const auto* source =
        reinterpret_cast<const std::uint32_t*>(imageRows + static_cast<std::size_t>(y) * imageStride);
    const std::int32_t pageRow = page.height - 1 - (top + y);  // rows are stored bottom-up
    std::uint8_t* target = surface.pixels() + static_cast<std::size_t>(pageRow) * page.stride + 3 * left;
    for (int x = 0; x < width; ++x, target += 3) {
      const std::uint32_t pixel = source[x];  // 0x00RRGGBB
      target[0] = static_cast<std::uint8_t>(pixel);
      target[1] = static_cast<std::uint8_t>(pixel >> 8);
      target[2] = static_cast<std::uint8_t>(pixel >> 16);
    }
  }
}

// A Cairo image of the target rectangle, cleared to the background and
// copied into the surface when the drawing ends.  Its user space is the
// page's pixels.
class PangoCanvas final : public TextCanvas {
 public:
  static std::unique_ptr<PangoCanvas> Begin(DrawingSurface& surface, const FontSpec& font,
                                            const PixelRect& targetRect, const PixelRect& layoutRect,
                                            const TextColor& color, Rgb background) {
    const SurfaceGeometry& page = surface.geometry();
    const std::int32_t left = ClampTo(targetRect.left, page.width);
    const std::int32_t top = ClampTo(targetRect.top, page.height);
    const std::int32_t right = ClampTo(targetRect.right, page.width);
    const std::int32_t bottom = ClampTo(targetRect.bottom, page.height);
    if (right <= left || bottom <= top) return nullptr;
    CairoSurface image(cairo_image_surface_create(CAIRO_FORMAT_RGB24, right - left, bottom - top));
    if (cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    Cairo cairo(cairo_create(image.get()));
    if (cairo_status(cairo.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    cairo_set_source_rgb(cairo.get(), background.red / 255.0, background.green / 255.0, background.blue / 255.0);
    cairo_paint(cairo.get());
    cairo_set_source_rgba(cairo.get(), color.red, color.green, color.blue, color.alpha);
    cairo_translate(cairo.get(), -left, -top);
    return std::unique_ptr<PangoCanvas>(
        new PangoCanvas(surface, font, layoutRect, std::move(image), std::move(cairo), left, top));
  }

  ~PangoCanvas() override {
    cairo_surface_flush(image_.get());
    CopyIntoSurface(image_.get(), surface_, left_, top_);
  }

  void DrawText(std::u16string_view text) override {
    Layout layout = MakeLayout(font_, wrapWidth_);
    if (!layout || !SetLayoutText(layout.get(), text)) return;
    cairo_move_to(cairo_.get(), layoutRect_.left, layoutRect_.top);
    pango_cairo_show_layout(cairo_.get(), layout.get());
  }

  // None for a text box narrower than nothing, as a measurer of its width can't be made.
  ParagraphLayouter* Paragraphs() override {
    if (!paragraphs_ && wrapWidth_ >= 0) paragraphs_ = PangoParagraphs::Make(font_, cairo_.get());
    return paragraphs_.get();
  }

  GlyphPen* Glyphs() override {
    if (!glyphs_) glyphs_ = std::make_unique<PangoGlyphs>(family_, cairo_.get());
    return glyphs_.get();
  }

 private:
  PangoCanvas(DrawingSurface& surface, const FontSpec& font, const PixelRect& layoutRect, CairoSurface image,
              Cairo cairo, std::int32_t left, std::int32_t top)
      : surface_(surface),
        family_(font.family),
        font_{family_, font.pixelSize},
        layoutRect_(layoutRect),
        wrapWidth_(static_cast<std::int32_t>(
            std::clamp<std::int64_t>(std::int64_t{layoutRect.right} - layoutRect.left, -1, INT32_MAX))),
        image_(std::move(image)),
        cairo_(std::move(cairo)),
        left_(left),
        top_(top) {}

  DrawingSurface& surface_;
  std::u16string family_;
  FontSpec font_;  // its family is family_
  PixelRect layoutRect_;
  std::int32_t wrapWidth_;
  CairoSurface image_;
  Cairo cairo_;  // destroyed before image_
  std::int32_t left_;
  std::int32_t top_;
  std::unique_ptr<PangoParagraphs> paragraphs_;  // draws with cairo_, destroyed first
  std::unique_ptr<PangoGlyphs> glyphs_;          // as paragraphs_
};

// GLib never unloads and keeps pointers into the type and string data of
// the Pango libraries, so they must stay loaded when a host unloads the
// plug-in, or the next load of the plug-in crashes.  Pango Cairo holds the
// rest of them as its dependencies.
void KeepPangoLoaded() {
  Dl_info library;
  if (dladdr(reinterpret_cast<void*>(&pango_cairo_font_map_get_default), &library) && library.dli_fname) {
    if (void* handle = dlopen(library.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE)) dlclose(handle);
  }
}

class PangoEngine final : public TextEngine {
 public:
  PangoEngine() { KeepPangoLoaded(); }

  std::unique_ptr<TextMeasurer> CreateMeasurer(DrawingSurface&, const FontSpec& font, const PixelRect&,
                                               std::int32_t wrapWidth, std::int32_t maxHeight) override {
    return CreateLayoutMeasurer(font, wrapWidth, maxHeight);
  }

  // The layout comes from the calling thread's font map: one Pango context
  // for each thread that measures.
  std::unique_ptr<TextMeasurer> CreateLayoutMeasurer(const FontSpec& font, std::int32_t wrapWidth,
                                                     std::int32_t maxHeight) override {
    // Only the width wraps; a box of negative height can't hold a layout.
    Layout layout = maxHeight < 0 ? nullptr : MakeLayout(font, wrapWidth);
    if (!layout) return nullptr;
    return std::make_unique<PangoMeasurer>(std::move(layout), font);
  }

  bool LaysOutFasterOnSeveralThreads() const override { return true; }

  std::unique_ptr<TextCanvas> BeginDrawing(DrawingSurface& surface, const FontSpec& font,
                                           const PixelRect& targetRect, const PixelRect& layoutRect,
                                           const TextColor& color, Rgb background) override {
    return PangoCanvas::Begin(surface, font, targetRect, layoutRect, color, background);
  }
};

}  // namespace

TextEngine& SystemTextEngine() {
  static PangoEngine engine;
  return engine;
}

// Pango's font maps belong to the calling threads and GLib keeps its own
// state for the life of the process: nothing here is the library's to release.
void ReleaseKeptEngineObjects() noexcept {}

}  // namespace folio::platform
