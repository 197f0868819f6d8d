// A page as a PNG file: the pixels of the plug-in's BMP file, row for row,
// encoded by libpng.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace folio::cli {

// `bmp` is a whole 24-bit uncompressed BMP file.  Empty on success; otherwise
// why it could not be converted, with `png` left empty.
std::string PngFromBmp(std::span<const unsigned char> bmp, std::vector<unsigned char>& png);

}  // namespace folio::cli
