// A drawing surface as a complete BMP file in a block for the host.
#pragma once

#include <cstddef>

#include "platform/drawing_surface.h"
#include "platform/host_heap.h"

namespace folio::render {

// File header and information header in front of the pixel rows.
inline constexpr std::size_t kBitmapFileHeaderBytes = 14 + platform::kInfoHeaderBytes;

// The size of the BMP file of a page: its headers and its pixel rows.
constexpr std::size_t BitmapFileSize(const platform::SurfaceGeometry& geometry) noexcept {
  return kBitmapFileHeaderBytes + static_cast<std::size_t>(geometry.imageSize);
}

// The 14-byte file header, the surface's BITMAPINFOHEADER and its pixel rows
// exactly as they are (bottom row first, padding included); an empty block
// when it can't be allocated.
platform::HostBlock BuildBitmapFileBlock(const platform::DrawingSurface& surface) noexcept;

// The size of the BMP file in a block that BuildBitmapFileBlock made: its bfSize.
std::size_t BitmapFileSizeOf(const platform::HostBlock& block) noexcept;

}  // namespace folio::render
