#include <string>

#include "commands.h"
#include "console.h"
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

std::unique_ptr<PluginLibrary> LoadPlugin(const ParsedOptions& options) {
  const auto chosen = options.Last(kPluginOption.name);
  const std::filesystem::path path = chosen ? PathFromUtf8(*chosen) : DefaultPluginPath();
  std::string error;
  auto library = PluginLibrary::Load(path, error);
  if (!library) Fail("can't load the plug-in " + PathToUtf8(path) + ": " + error);
  return library;
}

}  // namespace

std::optional<StartedCommand> StartCommand(const CommandSyntax& syntax, std::span<const std::string> arguments,
                                           int& exitStatus) {
  auto options = ParseCommandLine(syntax, arguments, exitStatus);
  if (!options) return std::nullopt;
  auto plugin = LoadPlugin(*options);
  if (!plugin) {
    exitStatus = kFailure;
    return std::nullopt;
  }
  return StartedCommand{std::move(*options), std::move(plugin)};
}

}  // namespace folio::cli
