#include "cli.h"

#include <exception>

#include "commands.h"
#include "console.h"

namespace folio::cli {
namespace {

constexpr std::string_view kHelp =
    "usage: folio [--plugin PATH] [--ini FILE] COMMAND [ARGUMENTS]\n"
    "\n"
    "Drives the folio plug-in as an image viewer does, through its exported\n"
    "functions only: a text file is an archive whose members are its pages.\n"
    "\n"
    "commands:\n"
    "  info                   what the plug-in reports about itself\n"
    "  list FILE [--json]     the pages of a text file\n"
    "  extract FILE [-o DIR]  write pages of a text file as BMP files (or PNG, or a\n"
    "                         comic-book archive)\n"
    "\n"
    "  --plugin PATH  the plug-in library to load (default: the one beside folio)\n"
    "  --ini FILE     the plug-in's settings for this run (default: the INI file beside it)\n"
    "\n"
    "'folio COMMAND --help' describes a command.  Exit status: 0 on success,\n"
    "1 when something fails, 2 for a malformed command line.\n";

// Takes "--plugin PATH" and "--ini FILE" from before the command: they belong to the command.
std::size_t LeadingOptionWords(const std::string& word) {
  for (const OptionSpec& option : {kPluginOption, kSettingsOption}) {
    if (word == option.name) return 2;
    if (word.starts_with(std::string(option.name) + "=")) return 1;
  }
  return 0;
}

std::vector<std::string> TakeLeadingPluginOptions(std::vector<std::string>& arguments) {
  std::vector<std::string> leading;
  while (!arguments.empty()) {
    const std::size_t taken = LeadingOptionWords(arguments.front());
    if (taken == 0 || arguments.size() < taken) break;
    leading.insert(leading.end(), arguments.begin(), arguments.begin() + taken);
    arguments.erase(arguments.begin(), arguments.begin() + taken);
  }
  return leading;
}

int Dispatch(std::vector<std::string> arguments) {
  std::vector<std::string> commandArguments = TakeLeadingPluginOptions(arguments);
  if (arguments.empty()) return Fail("no command given (see 'folio --help')", kUsageError);
  const std::string command = arguments.front();
  commandArguments.insert(commandArguments.end(), arguments.begin() + 1, arguments.end());
  if (command == "--help" || command == "-h" || command == "help") {
    PrintOut(kHelp);
    return kSuccess;
  }
  if (command == "info") return RunInfo(commandArguments);
  if (command == "list") return RunList(commandArguments);
  if (command == "extract") return RunExtract(commandArguments);
  return Fail("unknown command '" + command + "' (see 'folio --help')", kUsageError);
}

}  // namespace

int Run(std::vector<std::string> arguments) noexcept {
  try {
    return Dispatch(std::move(arguments));
  } catch (const std::exception& error) {
    return Fail(error.what());
  } catch (...) {
    return Fail("unexpected failure");
  }
}

}  // namespace folio::cli
