// The settings file beside the plug-in: page geometry, font, colours, page
// limit, the notation read in texts, the writing direction, the page index and
// the handled extensions.
// Read afresh at every call, never written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/color.h"
#include "settings/color_names.h"

namespace folio::settings {

// How markup inside the text is read.
enum class Notation {
  None,    // drawn as written
  Aozora,  // Japanese e-text markup: readings in 《》, editorial notes in ［＃］
};

// Every field starts at its default: what a missing file, section or key gives.
struct RenderSettings {
  std::u16string fontFamily;  // empty: the platform's choice
  std::int32_t fontSize = 8;
  std::int32_t width = 640;
  std::int32_t height = 480;
  std::int32_t margin = 4;
  platform::Rgb background = BackgroundFromName(kDefaultBackgroundName);
  platform::TextColor fontColor = FontColorFromName(kDefaultFontColorName);
  std::int32_t pageLimit = 10;
  bool pageIndex = true;  // listings kept in the user's cache folder, and taken from there
  Notation notation = Notation::None;
  // Columns from top to bottom and right to left, as Japanese books are set.
  bool vertical = false;
};

inline constexpr std::u16string_view kSettingsSection = u"SystemSetting";

// The plug-in library's path with its extension replaced by ".ini".
std::u16string SettingsFilePath();

RenderSettings LoadRenderSettings();
// `aozora` in any letter case; anything else (empty and `none` included) is None.
Notation NotationFromName(std::u16string_view name) noexcept;
// Vertical pages for `1` alone; empty, `0` and anything else keep them horizontal.
bool VerticalFromValue(std::u16string_view value) noexcept;
RenderSettings LoadRenderSettingsFrom(std::u16string_view iniPath);

// The Ext value ("*.txt" when missing).
std::u16string ReadExtensionList(std::u16string_view iniPath);

// Whether a file name's extension is in the Ext list; the name alone decides.
bool IsHandledFileName(std::u16string_view path);
bool IsHandledFileNameWith(std::u16string_view path, std::u16string_view extensionList);

}  // namespace folio::settings
