// The colour names of BGColor and FontColor.  The two keys differ on
// purpose: backgrounds are the platform's stock brushes, named in any letter
// case, falling back to black; font colours are named exactly, falling back
// to white.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "base/unicode.h"
#include "platform/color.h"

namespace folio::settings {

inline constexpr std::u16string_view kDefaultBackgroundName = u"WHITE";
inline constexpr std::u16string_view kDefaultFontColorName = u"BLACK";

namespace color_names {

template <typename Color>
struct NamedColor {
  std::u16string_view name;
  Color color;
};

enum class NameCase { Exact, IgnoreAscii };

// The colour of the first entry named `name`, in the table's order; else `otherwise`.
template <typename Color, std::size_t Count>
constexpr Color Find(std::u16string_view name, const std::array<NamedColor<Color>, Count>& table,
                     NameCase nameCase, Color otherwise) noexcept {
  for (const auto& named : table) {
    if (nameCase == NameCase::Exact ? name == named.name : base::EqualsIgnoringAsciiCase(name, named.name)) {
      return named.color;
    }
  }
  return otherwise;
}

}  // namespace color_names

// BLACK, DARK_GRAY, GRAY, LIGHT_GRAY or WHITE in any letter case, as the
// stock brushes colour them; anything else is black.
constexpr platform::Rgb BackgroundFromName(std::u16string_view name) noexcept {
  constexpr std::array<color_names::NamedColor<platform::Rgb>, 5> kStockBrushes{{{u"BLACK", {0, 0, 0}},
                                                                                 {u"DARK_GRAY", {64, 64, 64}},
                                                                                 {u"GRAY", {128, 128, 128}},
                                                                                 {u"LIGHT_GRAY", {192, 192, 192}},
                                                                                 {u"WHITE", {255, 255, 255}}}};
  return color_names::Find(name, kStockBrushes, color_names::NameCase::IgnoreAscii, platform::Rgb{0, 0, 0});
}

// BLACK, DARK_GRAY, GRAY or LIGHT_GRAY, written exactly so; anything else,
// WHITE and lower-case names included, is white.
constexpr platform::TextColor FontColorFromName(std::u16string_view name) noexcept {
  constexpr std::array<color_names::NamedColor<platform::TextColor>, 4> kFontColors{
      {{u"BLACK", {0.0f, 0.0f, 0.0f, 1.0f}},
       {u"DARK_GRAY", {0.25f, 0.25f, 0.25f, 1.0f}},
       {u"GRAY", {0.5f, 0.5f, 0.5f, 1.0f}},
       {u"LIGHT_GRAY", {0.75f, 0.75f, 0.75f, 1.0f}}}};
  return color_names::Find(name, kFontColors, color_names::NameCase::Exact,
                           platform::TextColor{1.0f, 1.0f, 1.0f, 1.0f});
}

}  // namespace folio::settings
