#include <string>

#include "commands.h"
#include "console.h"
#include "staged_plugin.h"
#include "wide_text.h"

namespace folio::cli {

int Fail(std::string_view message, int status) {
  PrintError("folio: " + std::string(message) + "\n");
  return status;
}

namespace {

// Reports a malformed command line with a pointer to the command's help.
int UsageFail(std::string_view command, std::string_view problem) {
  return Fail(
      std::string(command) + ": " + std::string(problem) + " (see 'folio " + std::string(command) + " --help')",
      kUsageError);
}

std::optional<ParsedOptions> ParseCommandLine(const CommandSyntax& syntax, std::span<const std::string> arguments,
                                              int& exitStatus) {
  ParseResult result = ParseOptions(arguments, syntax.options);
  if (result.error.empty() && result.parsed.Has(kHelpOption.name)) {
    PrintOut(syntax.help);
    exitStatus = kSuccess;
    return std::nullopt;
  }
  if (result.error.empty() && result.parsed.operands.size() != syntax.operands) {
    result.error = syntax.operands == 0 ? "takes no file" : "takes exactly one text file";
  }
  if (!result.error.empty()) {
    exitStatus = UsageFail(syntax.name, result.error);
    return std::nullopt;
  }
  return std::move(result.parsed);
}

// Loads the chosen library, or with --ini a copy of it beside those settings.
bool LoadPlugin(StartedCommand& command) {
  const auto chosen = command.options.Last(kPluginOption.name);
  command.pluginPath = chosen ? PathFromUtf8(*chosen) : DefaultPluginPath();
  std::filesystem::path load = command.pluginPath;
  std::string error;
  if (const auto settings = command.options.Last(kSettingsOption.name)) {
    StagedPlugin staged = StagePlugin(command.pluginPath, PathFromUtf8(*settings), error);
    if (!staged.folder) {
      Fail(error);
      return false;
    }
    command.staging = std::move(staged.folder);
    load = staged.library;
  }
  command.plugin = PluginLibrary::Load(load, error);
  if (!command.plugin) Fail("can't load the plug-in " + PathToUtf8(command.pluginPath) + ": " + error);
  return command.plugin != nullptr;
}

}  // namespace

std::optional<StartedCommand> StartCommand(const CommandSyntax& syntax, std::span<const std::string> arguments,
                                           int& exitStatus) {
  auto options = ParseCommandLine(syntax, arguments, exitStatus);
  if (!options) return std::nullopt;
  StartedCommand command{std::move(*options), {}, nullptr, nullptr};
  if (!LoadPlugin(command)) {
    exitStatus = kFailure;
    return std::nullopt;
  }
  return command;
}

}  // namespace folio::cli
