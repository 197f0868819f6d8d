// Text through Pango and Cairo.  Measuring and drawing lay text out alike:
// unhinted metrics, unrounded glyph positions, the size in pixels, wrapping
// at word boundaries and inside a word only when it alone is too wide.
#include <dlfcn.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <climits>
#include <string>

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

// A layout in the font, wrapping at `wrapWidth` pixels; null for sizes that
// can't be drawn and for negative widths.
Layout MakeLayout(const FontSpec& font, std::int32_t wrapWidth) {
  if (font.pixelSize <= 0 || font.pixelSize > kMaxFontPixels || wrapWidth < 0) return nullptr;
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
  const std::string family = base::Utf16ToUtf8(font.family);
  if (!family.empty()) pango_font_description_set_family(description.get(), family.c_str());
  pango_font_description_set_absolute_size(description.get(), static_cast<double>(font.pixelSize) * PANGO_SCALE);

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

bool SetLayoutText(PangoLayout* layout, std::u16string_view text) {
  const std::string utf8 = base::Utf16ToUtf8(text);
  if (utf8.size() > INT_MAX) return false;
  pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.size()));
  return true;
}

class PangoMeasurer final : public TextMeasurer {
 public:
  explicit PangoMeasurer(Layout layout) : layout_(std::move(layout)) {}

  bool MeasureHeight(std::u16string_view text, float& height) override {
    if (!SetLayoutText(layout_.get(), text)) return false;
    PangoRectangle logical;
    pango_layout_get_extents(layout_.get(), nullptr, &logical);
    height = static_cast<float>(logical.height) / PANGO_SCALE;
    return true;
  }

 private:
  Layout layout_;
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
    // Only the width wraps; a box of negative height can't hold a layout.
    Layout layout = maxHeight < 0 ? nullptr : MakeLayout(font, wrapWidth);
    if (!layout) return nullptr;
    return std::make_unique<PangoMeasurer>(std::move(layout));
  }

  void Draw(DrawingSurface& surface, const FontSpec& font, const PixelRect& targetRect,
            const PixelRect& layoutRect, std::u16string_view text, const TextColor& color,
            Rgb background) override {
    const SurfaceGeometry& page = surface.geometry();
    const std::int32_t left = ClampTo(targetRect.left, page.width);
    const std::int32_t top = ClampTo(targetRect.top, page.height);
    const std::int32_t right = ClampTo(targetRect.right, page.width);
    const std::int32_t bottom = ClampTo(targetRect.bottom, page.height);
    if (right <= left || bottom <= top) return;
    const std::int64_t wrapWidth = std::int64_t{layoutRect.right} - layoutRect.left;
    Layout layout =
        MakeLayout(font, static_cast<std::int32_t>(std::clamp<std::int64_t>(wrapWidth, -1, INT32_MAX)));
    if (!layout || !SetLayoutText(layout.get(), text)) return;
    CairoSurface image(cairo_image_surface_create(CAIRO_FORMAT_RGB24, right - left, bottom - top));
    if (cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS) return;
    Cairo cairo(cairo_create(image.get()));
    if (cairo_status(cairo.get()) != CAIRO_STATUS_SUCCESS) return;

    cairo_set_source_rgb(cairo.get(), background.red / 255.0, background.green / 255.0, background.blue / 255.0);
    cairo_paint(cairo.get());
    cairo_set_source_rgba(cairo.get(), color.red, color.green, color.blue, color.alpha);
    cairo_move_to(cairo.get(), static_cast<double>(layoutRect.left) - left,
                  static_cast<double>(layoutRect.top) - top);
    pango_cairo_show_layout(cairo.get(), layout.get());
    cairo_surface_flush(image.get());
    CopyIntoSurface(image.get(), surface, left, top);
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
