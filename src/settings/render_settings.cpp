#include "settings/render_settings.h"

#include <array>

#include "platform/files.h"
#include "platform/letter_case.h"
#include "platform/module.h"
#include "platform/path_names.h"
#include "platform/profile.h"
#include "text/unicode.h"

namespace folio::settings {
namespace {

constexpr std::int32_t kDefaultWidth = 640;
constexpr std::int32_t kDefaultHeight = 480;
constexpr std::size_t kValueCapacity = 260;
constexpr std::size_t kFontNameBytes = 512;

// A size of exactly 0 follows the host's active window, or the default.
std::int32_t SizeOrWindowSize(std::int32_t value, std::optional<int> windowValue, std::int32_t fallback) {
  if (value != 0) return value;
  return windowValue && *windowValue > 0 ? *windowValue : fallback;
}

StockBrush BrushFromName(std::u16string_view name) {
  struct NamedBrush {
    std::u16string_view name;
    StockBrush brush;
  };
  static constexpr std::array<NamedBrush, 5> kBrushes{{{u"BLACK", StockBrush::Black},
                                                       {u"DARK_GRAY", StockBrush::DarkGray},
                                                       {u"GRAY", StockBrush::Gray},
                                                       {u"LIGHT_GRAY", StockBrush::LightGray},
                                                       {u"WHITE", StockBrush::White}}};
  for (const auto& named : kBrushes) {
    if (text::EqualsIgnoringAsciiCase(name, named.name)) return named.brush;
  }
  return StockBrush::Black;
}

std::u16string ReplaceExtension(std::u16string path, std::u16string_view extension) {
  path.resize(path.size() - platform::ExtensionOf(platform::FileNamePart(path)).size());
  return path.append(extension);
}

}  // namespace

Rgb StockBrushColor(StockBrush brush) noexcept {
  switch (brush) {
    case StockBrush::DarkGray: return {64, 64, 64};
    case StockBrush::Gray: return {128, 128, 128};
    case StockBrush::LightGray: return {192, 192, 192};
    case StockBrush::White: return {255, 255, 255};
    case StockBrush::Black: break;
  }
  return {0, 0, 0};
}

std::u16string SettingsFilePath() {
  return ReplaceExtension(platform::ModulePath(), u".ini");
}

RenderSettings LoadRenderSettings() {
  return LoadRenderSettingsFrom(SettingsFilePath());
}

RenderSettings LoadRenderSettingsFrom(std::u16string_view iniPath) {
  auto readInt = [&](std::u16string_view key, int defaultValue) {
    return platform::ReadProfileInt(kSettingsSection, key, defaultValue, iniPath);
  };
  RenderSettings settings;
  const auto window = platform::ActiveWindowClientSize();
  settings.width = SizeOrWindowSize(readInt(u"BmpWidth", kDefaultWidth),
                                    window ? std::optional(window->width) : std::nullopt, kDefaultWidth);
  settings.height = SizeOrWindowSize(readInt(u"BmpHeight", kDefaultHeight),
                                     window ? std::optional(window->height) : std::nullopt, kDefaultHeight);
  settings.pageLimit = readInt(u"MaxPage", 10);
  settings.fontFamily = ReadUtf8ProfileString(kSettingsSection, u"FontName", u"", kFontNameBytes, iniPath);
  settings.fontSize = readInt(u"FontSize", 8);
  settings.margin = readInt(u"Margin", 4);
  settings.background =
      BrushFromName(platform::ReadProfileString(kSettingsSection, u"BGColor", u"WHITE", iniPath, kValueCapacity));
  settings.fontColorName =
      platform::ReadProfileString(kSettingsSection, u"FontColor", u"BLACK", iniPath, kValueCapacity);
  return settings;
}

std::u16string ReadUtf8ProfileString(std::u16string_view section, std::u16string_view key,
                                     std::u16string_view defaultValue, std::size_t capacity,
                                     std::u16string_view iniPath) {
  return platform::ReadProfileUtf8String(section, key, defaultValue, iniPath, capacity);
}

std::u16string ReadExtensionList(std::u16string_view iniPath) {
  return platform::ReadProfileString(kSettingsSection, u"Ext", u"*.txt", iniPath, kValueCapacity);
}

bool IsHandledFileName(std::u16string_view path) {
  std::u16string iniPath = SettingsFilePath();
  // Only the extension test falls back to the plug-in's usual name.
  if (!platform::FileExists(iniPath)) iniPath = platform::CombinePath(platform::FolderPart(iniPath), u"folio.ini");
  return IsHandledFileNameWith(path, ReadExtensionList(iniPath));
}

bool IsHandledFileNameWith(std::u16string_view path, std::u16string_view extensionList) {
  const std::u16string extension = platform::LowerCase(platform::ExtensionOf(platform::FileNamePart(path)));
  return platform::LowerCase(extensionList).find(extension) != std::u16string::npos;
}

}  // namespace folio::settings
