#include "settings/render_settings.h"

#include "base/unicode.h"
#include "platform/files.h"
#include "platform/letter_case.h"
#include "platform/module.h"
#include "platform/path_names.h"
#include "platform/profile.h"

namespace folio::settings {
namespace {

constexpr std::size_t kValueCapacity = 260;
constexpr std::size_t kFontNameBytes = 512;

// A size of exactly 0 follows the host's active window, or the default.
std::int32_t SizeOrWindowSize(std::int32_t value, std::optional<int> windowValue, std::int32_t fallback) {
  if (value != 0) return value;
  return windowValue && *windowValue > 0 ? *windowValue : fallback;
}

std::u16string ReplaceExtension(std::u16string path, std::u16string_view extension) {
  path.resize(path.size() - platform::ExtensionOf(platform::FileNamePart(path)).size());
  return path.append(extension);
}

}  // namespace

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
  auto readText = [&](std::u16string_view key, std::u16string_view defaultValue) {
    return platform::ReadProfileString(kSettingsSection, key, defaultValue, iniPath, kValueCapacity);
  };
  const RenderSettings defaults;
  RenderSettings settings;
  const auto window = platform::ActiveWindowClientSize();
  settings.width = SizeOrWindowSize(readInt(u"BmpWidth", defaults.width),
                                    window ? std::optional(window->width) : std::nullopt, defaults.width);
  settings.height = SizeOrWindowSize(readInt(u"BmpHeight", defaults.height),
                                     window ? std::optional(window->height) : std::nullopt, defaults.height);
  settings.pageLimit = readInt(u"MaxPage", defaults.pageLimit);
  settings.pageIndex = readInt(u"PageIndex", defaults.pageIndex ? 1 : 0) != 0;
  settings.fontFamily =
      platform::ReadProfileUtf8String(kSettingsSection, u"FontName", defaults.fontFamily, iniPath, kFontNameBytes);
  settings.fontSize = readInt(u"FontSize", defaults.fontSize);
  settings.margin = readInt(u"Margin", defaults.margin);
  settings.background = BackgroundFromName(readText(u"BGColor", kDefaultBackgroundName));
  settings.fontColor = FontColorFromName(readText(u"FontColor", kDefaultFontColorName));
  settings.notation = NotationFromName(readText(u"Notation", u""));
  settings.vertical = VerticalFromValue(readText(u"Vertical", u""));
  return settings;
}

Notation NotationFromName(std::u16string_view name) noexcept {
  return base::EqualsIgnoringAsciiCase(name, std::u16string_view(u"aozora")) ? Notation::Aozora : Notation::None;
}

bool VerticalFromValue(std::u16string_view value) noexcept {
  return value == u"1";
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
