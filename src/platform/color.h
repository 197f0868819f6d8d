// Colours as the platform draws them.
#pragma once

#include <cstdint>

namespace folio::platform {

struct Rgb {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Components from 0 to 1, as Direct2D takes them.
struct TextColor {
  float red;
  float green;
  float blue;
  float alpha;
  friend bool operator==(const TextColor&, const TextColor&) = default;
};

}  // namespace folio::platform
