// The host's commands.  Each takes the words after its name (UTF-8) and
// returns the process's exit status.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "options.h"
#include "plugin_library.h"
#include "private_folder.h"

namespace folio::cli {

enum ExitStatus { kSuccess = 0, kFailure = 1, kUsageError = 2 };

int RunInfo(std::span<const std::string> arguments);
int RunList(std::span<const std::string> arguments);
int RunExtract(std::span<const std::string> arguments);

// Every command knows these three.
inline constexpr OptionSpec kPluginOption{"--plugin", "", OptionValue::Text};
inline constexpr OptionSpec kSettingsOption{"--ini", "", OptionValue::Text};
inline constexpr OptionSpec kHelpOption{"--help", "-h"};

// What a command accepts, and the help that --help prints.
struct CommandSyntax {
  std::string_view name;
  std::string_view help;
  std::span<const OptionSpec> options;  // kPluginOption, kSettingsOption and kHelpOption among them
  std::size_t operands;                 // how many operands it takes, exactly
};

struct StartedCommand {
  ParsedOptions options;
  std::filesystem::path pluginPath;        // as chosen, not the copy that --ini loads
  std::unique_ptr<PrivateFolder> staging;  // the copy's folder; outlives the library loaded from it
  std::unique_ptr<PluginLibrary> plugin;
};

// Parses the command line and loads the plug-in (--plugin PATH, or the one
// beside this program; with --ini FILE a copy beside those settings).
// Nothing when the command should stop at once, with the status to exit with
// in `exitStatus`: after its help (0), a malformed command line (2), or a
// plug-in or settings file that can't be loaded (1).
std::optional<StartedCommand> StartCommand(const CommandSyntax& syntax, std::span<const std::string> arguments,
                                           int& exitStatus);

// Prints "folio: message" on standard error and gives the status to exit with.
int Fail(std::string_view message, int status = kFailure);

}  // namespace folio::cli
