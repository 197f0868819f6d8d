// The page as a plain buffer; nothing else is needed to draw into it.
#include <new>

#include "platform/drawing_surface.h"

namespace folio::platform {
namespace {

class BufferSurface final : public DrawingSurface {
 public:
  BufferSurface(const SurfaceGeometry& geometry, std::unique_ptr<std::uint8_t[]> buffer) noexcept
      : DrawingSurface(geometry, buffer.get()), buffer_(std::move(buffer)) {}

  void* deviceContext() const noexcept override { return nullptr; }

 private:
  std::unique_ptr<std::uint8_t[]> buffer_;
};

}  // namespace

std::unique_ptr<DrawingSurface> CreateDrawingSurface(const SurfaceGeometry& geometry, Rgb background) noexcept {
  // Zeroed, so that the padding at the end of each row stays 0.
  std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[geometry.imageSize]());
  if (!buffer) return nullptr;
  for (std::int32_t row = 0; row < geometry.height; ++row) {
    std::uint8_t* pixel = buffer.get() + static_cast<std::size_t>(row) * geometry.stride;
    for (std::int32_t column = 0; column < geometry.width; ++column, pixel += 3) {
      pixel[0] = background.blue;
      pixel[1] = background.green;
      pixel[2] = background.red;
    }
  }
  return std::unique_ptr<DrawingSurface>(new (std::nothrow) BufferSurface(geometry, std::move(buffer)));
}

}  // namespace folio::platform
