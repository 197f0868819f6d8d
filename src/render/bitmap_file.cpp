#include "render/bitmap_file.h"

#include <cstdint>
#include <cstring>

namespace folio::render {

platform::HostBlock BuildBitmapFileBlock(const platform::DrawingSurface& surface) noexcept {
  const platform::SurfaceGeometry& geometry = surface.geometry();
  const std::size_t imageSize = static_cast<std::size_t>(geometry.imageSize);
  platform::HostBlock block = platform::HostBlock::Allocate(BitmapFileSize(geometry), false);
  if (!block) return block;

  auto* bytes = reinterpret_cast<std::uint8_t*>(block.bytes());
  auto put32 = [bytes](std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
  };
  std::memset(bytes, 0, 14);  // the reserved fields
  bytes[0] = 'B';
  bytes[1] = 'M';
  put32(2, static_cast<std::uint32_t>(BitmapFileSize(geometry)));  // bfSize
  put32(10, kBitmapFileHeaderBytes);                               // bfOffBits
  const auto infoHeader = platform::EncodeInfoHeader(geometry);
  std::memcpy(bytes + 14, infoHeader.data(), infoHeader.size());
  std::memcpy(bytes + kBitmapFileHeaderBytes, surface.pixels(), imageSize);
  return block;
}

std::size_t BitmapFileSizeOf(const platform::HostBlock& block) noexcept {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(block.bytes());
  std::uint32_t size = 0;
  for (int i = 0; i < 4; ++i) size |= std::uint32_t{bytes[2 + i]} << (8 * i);
  return size;
}

}  // namespace folio::render
