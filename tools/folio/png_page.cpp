#include "png_page.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace folio::cli {
namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kInfoHeaderBytes = 40;

std::uint32_t Read32(std::span<const unsigned char> bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | std::uint32_t(bytes[at + 3]) << 24;
}

struct BmpPixels {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<png_bytep> rows;  // top row first, as PNG stores them
};

// A page of gray pixels only (black text on white is drawn in grays) as one
// byte a pixel: a third of the bytes to compress, the same pixels decoded.
struct GrayPixels {
  std::vector<unsigned char> bytes;
  std::vector<png_bytep> rows;
};

// The rows of a 24-bit uncompressed BMP file; empty when it isn't one.
BmpPixels RowsOf(std::span<const unsigned char> bmp) {
  BmpPixels pixels;
  if (bmp.size() < kFileHeaderBytes + kInfoHeaderBytes || bmp[0] != 'B' || bmp[1] != 'M') return pixels;
  const std::uint32_t offset = Read32(bmp, 10);
  const auto width = static_cast<std::int32_t>(Read32(bmp, 18));
  const auto height = static_cast<std::int32_t>(Read32(bmp, 22));
  const unsigned bits = bmp[28] | bmp[29] << 8;
  if (width <= 0 || height == 0 || height == INT32_MIN || bits != 24 || Read32(bmp, 30) != 0) return pixels;
  const std::uint64_t rows = height < 0 ? -std::int64_t{height} : height;
  const std::uint64_t stride = (static_cast<std::uint64_t>(width) * 3 + 3) & ~std::uint64_t{3};
  if (offset > bmp.size() || (bmp.size() - offset) / stride < rows) return pixels;
  pixels.width = static_cast<std::uint32_t>(width);
  pixels.height = static_cast<std::uint32_t>(rows);
  // libpng copies each row before it transforms it, so it never writes through these.
  auto* first = const_cast<png_bytep>(bmp.data() + offset);
  for (std::uint64_t row = 0; row < rows; ++row) {
    // Bottom-up unless the height is negative.
    const std::uint64_t stored = height > 0 ? rows - 1 - row : row;
    pixels.rows.push_back(first + stored * stride);
  }
  return pixels;
}

// Empty when some pixel has a colour.
GrayPixels GrayOf(const BmpPixels& pixels) {
  GrayPixels gray;
  gray.bytes.resize(std::size_t{pixels.width} * pixels.height);
  unsigned char* out = gray.bytes.data();
  for (const png_bytep row : pixels.rows) {
    gray.rows.push_back(out);
    unsigned colour = 0;
    for (const unsigned char* pixel = row; pixel != row + std::size_t{pixels.width} * 3; pixel += 3) {
      colour |= (pixel[0] ^ pixel[1]) | (pixel[0] ^ pixel[2]);
      *out++ = pixel[0];
    }
    if (colour) return {};
  }
  return gray;
}

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto& out = *static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
  bool appended = false;
  try {
    out.insert(out.end(), data, data + length);
    appended = true;
  } catch (const std::bad_alloc&) {
  }
  if (!appended) png_error(png, "out of memory");  // leaves by longjmp: no C++ object may be alive here
}

void NoFlush(png_structp) {}

// libpng reports errors by longjmp, so this frame holds nothing that a
// destructor would have to release.  Text pages are large flat areas: the
// fastest compression without filters already makes them a few hundredths of
// the BMP file, and filters or harder compression gain little for their time.
bool Encode(const BmpPixels& pixels, const GrayPixels& gray, std::vector<unsigned char>& out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &out, AppendBytes, NoFlush);
  const bool isGray = !gray.rows.empty();
  png_set_IHDR(png, info, pixels.width, pixels.height, 8, isGray ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 1);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_write_info(png, info);
  if (!isGray) png_set_bgr(png);  // BMP files hold blue, green, red
  png_write_image(png, const_cast<png_bytepp>(isGray ? gray.rows.data() : pixels.rows.data()));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

std::string PngFromBmp(std::span<const unsigned char> bmp, std::vector<unsigned char>& png) {
  png.clear();
  const BmpPixels pixels = RowsOf(bmp);
  if (pixels.rows.empty()) return "the plug-in handed over a BMP file that is not 24-bit and uncompressed";
  if (!Encode(pixels, GrayOf(pixels), png)) {
    png.clear();
    return "libpng could not encode the page";
  }
  return {};
}

}  // namespace folio::cli
