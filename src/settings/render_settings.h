// The settings file beside the plug-in: page geometry, font, colours, page
// limit and the handled extensions.  Read afresh at every use, never written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace folio::settings {

// The platform's stock brushes that BGColor can name.
enum class StockBrush { Black, DarkGray, Gray, LightGray, White };

struct Rgb {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

Rgb StockBrushColor(StockBrush brush) noexcept;

struct RenderSettings {
  std::u16string fontFamily;
  std::int32_t fontSize = 8;
  std::int32_t width = 640;
  std::int32_t height = 480;
  std::int32_t margin = 4;
  StockBrush background = StockBrush::White;
  std::u16string fontColorName = u"BLACK";
  std::int32_t pageLimit = 10;
};

inline constexpr std::u16string_view kSettingsSection = u"SystemSetting";

// The plug-in library's path with its extension replaced by ".ini".
std::u16string SettingsFilePath();

RenderSettings LoadRenderSettings();
RenderSettings LoadRenderSettingsFrom(std::u16string_view iniPath);

// One value written in UTF-8, at most `capacity` - 1 bytes of it.
std::u16string ReadUtf8ProfileString(std::u16string_view section, std::u16string_view key,
                                     std::u16string_view defaultValue, std::size_t capacity,
                                     std::u16string_view iniPath);

// The Ext value ("*.txt" when missing).
std::u16string ReadExtensionList(std::u16string_view iniPath);

// Whether a file name's extension is in the Ext list; the name alone decides.
bool IsHandledFileName(std::u16string_view path);
bool IsHandledFileNameWith(std::u16string_view path, std::u16string_view extensionList);

}  // namespace folio::settings
