// The page-sized 24-bit drawing surface: BGR pixels, rows bottom-up, each row
// padded with zero bytes to a multiple of 4.  Windows: a DIB section selected
// into a memory DC (render targets bind to that DC).  Elsewhere: a plain
// buffer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "platform/color.h"

namespace folio::platform {

// Pages above this many pixel bytes are refused: no viewer shows them, and
// the page is held up to three times over while it is handed out.
inline constexpr std::int32_t kMaxImageBytes = 256 * 1024 * 1024;

struct SurfaceGeometry {
  std::int32_t width;
  std::int32_t height;
  std::int32_t stride;     // bytes per row: 3 x width rounded up to a multiple of 4
  std::int32_t imageSize;  // height x stride

  // Nothing for sizes of 0 or less, or an image too large for 32-bit sizes
  // (or above kMaxImageBytes).
  static std::optional<SurfaceGeometry> For(std::int32_t width, std::int32_t height) noexcept;
};

// BITMAPINFOHEADER of a 24-bit bottom-up page, little-endian: what the DIB
// section is made from and what the page's BMP file carries.
inline constexpr std::size_t kInfoHeaderBytes = 40;
std::array<std::uint8_t, kInfoHeaderBytes> EncodeInfoHeader(const SurfaceGeometry& geometry) noexcept;

class DrawingSurface {
 public:
  virtual ~DrawingSurface() = default;
  DrawingSurface(const DrawingSurface&) = delete;
  DrawingSurface& operator=(const DrawingSurface&) = delete;

  const SurfaceGeometry& geometry() const noexcept { return geometry_; }
  // geometry().imageSize bytes in the layout above.
  std::uint8_t* pixels() const noexcept { return pixels_; }
  // The memory DC that render targets bind to (an HDC); null where there is none.
  virtual void* deviceContext() const noexcept = 0;

 protected:
  DrawingSurface(const SurfaceGeometry& geometry, std::uint8_t* pixels) noexcept
      : geometry_(geometry), pixels_(pixels) {}

 private:
  SurfaceGeometry geometry_;
  std::uint8_t* pixels_;
};

// A page filled with the background colour (padding zero); null when the
// bitmap can't be made.
std::unique_ptr<DrawingSurface> CreateDrawingSurface(const SurfaceGeometry& geometry, Rgb background) noexcept;

}  // namespace folio::platform
