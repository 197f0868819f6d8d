#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/drawing_surface.h"
#include "render/bitmap_file.h"
#include "settings/render_settings.h"
#include "support/temp_folder.h"
#include "support/test_files.h"

namespace folio::render {
namespace {

using platform::SurfaceGeometry;

std::uint32_t Read32(const std::uint8_t* bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | bytes[offset + i];
  return value;
}

std::uint16_t Read16(const std::uint8_t* bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

struct Page {
  std::unique_ptr<platform::DrawingSurface> surface;
  platform::HostBlock block;
  const std::uint8_t* bytes() const { return reinterpret_cast<const std::uint8_t*>(block.bytes()); }
};

Page MakePage(std::int32_t width, std::int32_t height, std::u16string_view background) {
  const auto geometry = SurfaceGeometry::For(width, height);
  EXPECT_TRUE(geometry.has_value());
  Page page{platform::CreateDrawingSurface(*geometry, settings::BackgroundFromName(background)), {}};
  EXPECT_NE(page.surface, nullptr);
  return page;
}

TEST(SurfaceGeometryTest, RowsArePaddedToFourBytes) {
  const std::int32_t expectedStrides[] = {4, 8, 12, 12, 16};
  for (std::int32_t width = 1; width <= 5; ++width) {
    const auto geometry = SurfaceGeometry::For(width, 3);
    ASSERT_TRUE(geometry.has_value());
    EXPECT_EQ(geometry->stride, expectedStrides[width - 1]) << width;
    EXPECT_EQ(geometry->imageSize, 3 * expectedStrides[width - 1]) << width;
  }
}

TEST(SurfaceGeometryTest, RefusesEmptyNegativeAndOversizedPages) {
  for (auto [width, height] : {std::pair{0, 480},
                               {640, 0},
                               {-1, 480},
                               {640, -480},
                               {INT32_MAX, 1},
                               {1, INT32_MAX},
                               {65536, 65536},
                               {INT32_MIN, INT32_MIN}}) {
    EXPECT_FALSE(SurfaceGeometry::For(width, height).has_value()) << width << " x " << height;
  }
  // The largest accepted page still has a 32-bit size.
  const auto largest = SurfaceGeometry::For(platform::kMaxImageBytes / 4 / 4, 4);
  ASSERT_TRUE(largest.has_value());
  EXPECT_EQ(largest->imageSize, platform::kMaxImageBytes / 4 * 3);
}

TEST(BitmapFileTest, DefaultPageIsAWhiteBmpFile) {
  Page page = MakePage(640, 480, u"WHITE");
  page.block = BuildBitmapFileBlock(*page.surface);
  ASSERT_TRUE(page.block);
  ASSERT_EQ(page.block.size(), 921654u);
  const std::uint8_t* bytes = page.bytes();
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[1], 'M');
  EXPECT_EQ(Read32(bytes, 2), 921654u);   // bfSize
  EXPECT_EQ(Read32(bytes, 6), 0u);        // both reserved fields
  EXPECT_EQ(Read32(bytes, 10), 54u);      // bfOffBits
  EXPECT_EQ(Read32(bytes, 14), 40u);      // biSize
  EXPECT_EQ(Read32(bytes, 18), 640u);     // biWidth
  EXPECT_EQ(Read32(bytes, 22), 480u);     // biHeight, positive: bottom-up
  EXPECT_EQ(Read16(bytes, 26), 1u);       // biPlanes
  EXPECT_EQ(Read16(bytes, 28), 24u);      // biBitCount
  EXPECT_EQ(Read32(bytes, 30), 0u);       // BI_RGB
  EXPECT_EQ(Read32(bytes, 34), 921600u);  // biSizeImage
  for (std::size_t offset = 38; offset < 54; offset += 4) EXPECT_EQ(Read32(bytes, offset), 0u) << offset;
  std::size_t notWhite = 0;
  for (std::size_t i = 54; i < page.block.size(); ++i) notWhite += bytes[i] != 0xFF;
  EXPECT_EQ(notWhite, 0u);
}

TEST(BitmapFileTest, RowsAreCopiedBottomFirstWithZeroPadding) {
  for (std::int32_t width = 1; width <= 5; ++width) {
    Page page = MakePage(width, 3, u"GRAY");
    const SurfaceGeometry& geometry = page.surface->geometry();
    // Mark the page's bottom row: the first row in memory.
    std::memset(page.surface->pixels(), 0x11, 3 * width);
    page.block = BuildBitmapFileBlock(*page.surface);
    ASSERT_EQ(page.block.size(), 54u + geometry.imageSize);
    const std::uint8_t* rows = page.bytes() + 54;
    for (std::int32_t row = 0; row < 3; ++row) {
      const std::uint8_t expected = row == 0 ? 0x11 : 128;
      for (std::int32_t i = 0; i < geometry.stride; ++i) {
        EXPECT_EQ(rows[row * geometry.stride + i], i < 3 * width ? expected : 0)
            << "width " << width << " row " << row << " byte " << i;
      }
    }
  }
}

TEST(BitmapFileTest, BackgroundsTakeTheStockBrushColours) {
  for (auto [brush, value] : {std::pair{u"black", 0},
                              {u"DARK_GRAY", 64},
                              {u"Gray", 128},
                              {u"LIGHT_GRAY", 192},
                              {u"WHITE", 255},
                              {u"blue", 0}}) {
    Page page = MakePage(2, 2, brush);
    const std::uint8_t* pixels = page.surface->pixels();
    for (int i : {0, 1, 2, 3, 4, 5, 8, 9, 10, 11, 12, 13}) EXPECT_EQ(pixels[i], value) << i;
    for (int i : {6, 7, 14, 15}) EXPECT_EQ(pixels[i], 0) << i;
  }
}

TEST(BitmapFileTest, ImageMagickReadsThePage) {
#if defined(_WIN32)
  GTEST_SKIP() << "ImageMagick is run natively";
#else
  if (std::system("identify -version > /dev/null 2>&1") != 0) GTEST_SKIP() << "ImageMagick is not installed";
  testing::TempFolder folder;
  Page page = MakePage(5, 7, u"LIGHT_GRAY");
  page.block = BuildBitmapFileBlock(*page.surface);
  const auto path = folder / "page.bmp";
  testing::WriteFile(path, std::string_view(reinterpret_cast<const char*>(page.bytes()), page.block.size()));
  const std::string command = "identify -format '%m %w %h %[fx:mean*255]' '" + path.string() + "'";
  FILE* output = popen(command.c_str(), "r");
  ASSERT_NE(output, nullptr);
  char line[128] = {};
  const bool read = std::fgets(line, sizeof line, output) != nullptr;
  pclose(output);
  ASSERT_TRUE(read);
  EXPECT_STREQ(line, "BMP3 5 7 192");  // BMP3: the 40-byte information header
#endif
}

}  // namespace
}  // namespace folio::render
