// folio info: what the plug-in says about itself.
#include <array>

#include "commands.h"
#include "console.h"
#include "wide_text.h"

namespace folio::cli {
namespace {

constexpr std::string_view kHelp =
    "usage: folio info [--plugin PATH] [--ini FILE]\n"
    "\n"
    "Shows what the plug-in reports about itself (GetPluginInfoW): the interface\n"
    "version, its name, the file patterns it handles (its Ext setting) and the\n"
    "description of those files.\n"
    "\n"
    "  --plugin PATH  the plug-in library to load (default: the one beside folio)\n"
    "  --ini FILE     the plug-in's settings for this run (default: the INI file beside it)\n";

constexpr std::array kOptions{kPluginOption, kSettingsOption, kHelpOption};

std::string InfoText(const PluginLibrary& plugin, int index) {
  SusieWideChar buffer[1024] = {};
  plugin.GetPluginInfoW(index, buffer, static_cast<int>(std::size(buffer)));
  return ToUtf8(buffer);
}

}  // namespace

int RunInfo(std::span<const std::string> arguments) {
  int status = kSuccess;
  const auto command = StartCommand({"info", kHelp, kOptions, 0}, arguments, status);
  if (!command) return status;
  const PluginLibrary& plugin = *command->plugin;

  PrintOut("plug-in:     " + PathToUtf8(std::filesystem::absolute(command->pluginPath)) + "\n");
  PrintOut("interface:   " + InfoText(plugin, 0) + "\n");
  PrintOut("name:        " + InfoText(plugin, 1) + "\n");
  PrintOut("patterns:    " + InfoText(plugin, 2) + "\n");
  PrintOut("description: " + InfoText(plugin, 3) + "\n");
  return kSuccess;
}

}  // namespace folio::cli
