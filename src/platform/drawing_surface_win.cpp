// The page as a DIB section selected into a memory DC made from the screen's
// DC.  Made as one chain; released in a fixed order: the previous object
// selected back, the bitmap deleted, the screen DC released, the memory DC
// deleted.
#include <windows.h>

#include <cstring>
#include <type_traits>
#include <utility>

#include "platform/drawing_surface.h"

namespace folio::platform {
namespace {

struct ScreenDcRelease {
  void operator()(HDC dc) const noexcept { ReleaseDC(nullptr, dc); }
};
struct MemoryDcDelete {
  void operator()(HDC dc) const noexcept { DeleteDC(dc); }
};
struct GdiObjectDelete {
  void operator()(HGDIOBJ object) const noexcept { DeleteObject(object); }
};
using ScreenDc = std::unique_ptr<std::remove_pointer_t<HDC>, ScreenDcRelease>;
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDelete>;
using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDelete>;
using Brush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDelete>;

// Keeps an object selected into a DC and selects the previous one back.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object)) {}
  Selection(Selection&& other) noexcept
      : dc_(std::exchange(other.dc_, nullptr)), previous_(std::exchange(other.previous_, nullptr)) {}
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  ~Selection() {
    if (*this) SelectObject(dc_, previous_);
  }
  explicit operator bool() const noexcept { return dc_ && previous_ && previous_ != HGDI_ERROR; }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

class GdiSurface final : public DrawingSurface {
 public:
  GdiSurface(const SurfaceGeometry& geometry, std::uint8_t* pixels, MemoryDc memoryDc, ScreenDc screenDc,
             Bitmap bitmap, Selection selection) noexcept
      : DrawingSurface(geometry, pixels),
        memoryDc_(std::move(memoryDc)),
        screenDc_(std::move(screenDc)),
        bitmap_(std::move(bitmap)),
        selection_(std::move(selection)) {}

  void* deviceContext() const noexcept override { return memoryDc_.get(); }

 private:
  // Destroyed from the last member up: that is the release order.
  MemoryDc memoryDc_;
  ScreenDc screenDc_;
  Bitmap bitmap_;
  Selection selection_;
};

}  // namespace

std::unique_ptr<DrawingSurface> CreateDrawingSurface(const SurfaceGeometry& geometry, Rgb background) noexcept {
  ScreenDc screenDc(GetDC(nullptr));
  if (!screenDc) return nullptr;
  MemoryDc memoryDc(CreateCompatibleDC(screenDc.get()));
  if (!memoryDc) return nullptr;

  BITMAPINFO info{};
  static_assert(sizeof info.bmiHeader == kInfoHeaderBytes);
  const auto header = EncodeInfoHeader(geometry);
  std::memcpy(&info.bmiHeader, header.data(), header.size());
  void* pixels = nullptr;
  Bitmap bitmap(CreateDIBSection(screenDc.get(), &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
  if (!bitmap || !pixels) return nullptr;

  Selection selection(memoryDc.get(), bitmap.get());
  if (!selection) return nullptr;
  const RECT page{0, 0, geometry.width, geometry.height};
  // A solid colour fills a 24-bit bitmap exactly: each stock brush's colour
  // gives the pixels the stock brush gives.
  const Brush brush(CreateSolidBrush(RGB(background.red, background.green, background.blue)));
  if (!brush) return nullptr;
  FillRect(memoryDc.get(), &page, brush.get());
  SetBkMode(memoryDc.get(), TRANSPARENT);

  return std::unique_ptr<DrawingSurface>(
      new (std::nothrow) GdiSurface(geometry, static_cast<std::uint8_t*>(pixels), std::move(memoryDc),
                                    std::move(screenDc), std::move(bitmap), std::move(selection)));
}

}  // namespace folio::platform
