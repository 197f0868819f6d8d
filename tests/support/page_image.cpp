#include "support/page_image.h"

#include <algorithm>
#include <cstring>

namespace folio::testing {
namespace {

// Left, top, right and bottom (exclusive) of the pixels of a width x height
// area where `marked` holds.
template <typename Marked>
std::array<int, 4> BoundsOf(int width, int height, Marked marked) {
  std::array<int, 4> bounds{width, height, 0, 0};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (!marked(x, y)) continue;
      bounds = {std::min(bounds[0], x), std::min(bounds[1], y), std::max(bounds[2], x + 1),
                std::max(bounds[3], y + 1)};
    }
  }
  return bounds;
}

}  // namespace

std::optional<BitmapShape> ReadBitmapShape(const std::string& bytes) {
  auto u32 = [&](std::size_t at) {
    std::uint32_t value;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
  };
  auto u16 = [&](std::size_t at) {
    std::uint16_t value;
    std::memcpy(&value, bytes.data() + at, 2);
    return value;
  };
  if (bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0 || u32(2) != bytes.size() || u32(10) != 54 ||
      u32(14) != 40 || u16(26) != 1 || u16(28) != 24 || u32(34) != bytes.size() - 54) {
    return std::nullopt;
  }
  const auto width = static_cast<std::int32_t>(u32(18)), height = static_cast<std::int32_t>(u32(22));
  const std::uint32_t stride = (3 * width + 3) & ~3u;
  if (width <= 0 || height <= 0 || stride * height != bytes.size() - 54) return std::nullopt;
  return BitmapShape{width, height};
}

PageImage::PageImage(std::string bmp) : bytes_(std::move(bmp)) {
  if (const auto shape = ReadBitmapShape(bytes_)) width_ = shape->width, height_ = shape->height;
}

Rgb PageImage::At(int x, int y) const {
  const std::size_t stride = (3 * width_ + 3) & ~3;
  const auto* pixel =
      reinterpret_cast<const std::uint8_t*>(bytes_.data()) + 54 + (height_ - 1 - y) * stride + 3 * x;
  return {pixel[2], pixel[1], pixel[0]};
}

std::vector<bool> PageImage::InkedRows(Rgb background) const {
  std::vector<bool> inked(height_, false);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_ && !inked[y]; ++x) inked[y] = !(At(x, y) == background);
  }
  return inked;
}

std::array<int, 4> PageImage::InkBounds(Rgb background) const {
  return BoundsOf(width_, height_, [&](int x, int y) { return !(At(x, y) == background); });
}

std::array<int, 4> PageImage::DifferenceBounds(const PageImage& other) const {
  return BoundsOf(std::min(width_, other.width_), std::min(height_, other.height_),
                  [&](int x, int y) { return !(At(x, y) == other.At(x, y)); });
}

int PageImage::InkedPixels() const {
  if (!whole()) return 0;
  const Rgb background = Background();
  int inked = 0;
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) inked += !(At(x, y) == background);
  }
  return inked;
}

}  // namespace folio::testing
