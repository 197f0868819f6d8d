// The surface's sizes and header, the same on every platform.
#include "platform/drawing_surface.h"

namespace folio::platform {
namespace {

template <std::size_t Offset, typename Value, std::size_t Size>
void PutLittleEndian(std::array<std::uint8_t, Size>& bytes, Value value) {
  static_assert(Offset + sizeof(Value) <= Size);
  const auto bits = static_cast<std::make_unsigned_t<Value>>(value);
  for (std::size_t i = 0; i < sizeof(Value); ++i) bytes[Offset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

}  // namespace

std::optional<SurfaceGeometry> SurfaceGeometry::For(std::int32_t width, std::int32_t height) noexcept {
  if (width <= 0 || height <= 0) return std::nullopt;
  const std::int64_t stride = (3 * static_cast<std::int64_t>(width) + 3) & ~std::int64_t{3};
  if (stride > kMaxImageBytes) return std::nullopt;
  const std::int64_t imageSize = stride * height;
  if (imageSize > kMaxImageBytes) return std::nullopt;
  return SurfaceGeometry{width, height, static_cast<std::int32_t>(stride), static_cast<std::int32_t>(imageSize)};
}

std::array<std::uint8_t, kInfoHeaderBytes> EncodeInfoHeader(const SurfaceGeometry& geometry) noexcept {
  std::array<std::uint8_t, kInfoHeaderBytes> header{};
  PutLittleEndian<0>(header, std::uint32_t{kInfoHeaderBytes});  // biSize
  PutLittleEndian<4>(header, geometry.width);
  PutLittleEndian<8>(header, geometry.height);     // positive: rows bottom-up
  PutLittleEndian<12>(header, std::uint16_t{1});   // biPlanes
  PutLittleEndian<14>(header, std::uint16_t{24});  // biBitCount
  // biCompression 0 (BI_RGB) at 16.
  PutLittleEndian<20>(header, geometry.imageSize);  // biSizeImage
  // Resolutions and colour counts (24 to 39) stay 0.
  return header;
}

}  // namespace folio::platform
