// A page as a viewer receives it: a BMP file, checked and read by pixel.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace folio::testing {

// The width and height of a whole 24-bit BMP file: its headers agree with
// each other and with the file's size.  Nothing for anything else.
struct BitmapShape {
  std::int32_t width;
  std::int32_t height;
};
std::optional<BitmapShape> ReadBitmapShape(const std::string& bytes);

struct Rgb {
  int red, green, blue;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A page's pixels, addressed from the top-left corner.  A file that is not a
// whole BMP file reads as a page of no pixels.
class PageImage {
 public:
  explicit PageImage(std::string bmp);
  bool whole() const { return width_ > 0; }
  int width() const { return width_; }
  int height() const { return height_; }

  Rgb At(int x, int y) const;
  // The page's background: the colour of its top-left corner, which the
  // margin keeps clear of glyphs.
  Rgb Background() const { return At(0, 0); }
  // Rows from the top that hold any pixel other than the background.
  std::vector<bool> InkedRows(Rgb background) const;
  // Left, top, right and bottom (exclusive) of the pixels other than the background.
  std::array<int, 4> InkBounds(Rgb background) const;
  // Pixels unlike the background: a page drawn blank has none.
  int InkedPixels() const;
  // Left, top, right and bottom (exclusive) of the pixels where this page
  // and another of its size differ; empty (left >= right) when none do.
  std::array<int, 4> DifferenceBounds(const PageImage& other) const;

 private:
  std::string bytes_;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace folio::testing
