// folio list: the pages of a text file, as a table or as JSON.
#include <algorithm>
#include <array>
#include <cstdio>

#include "commands.h"
#include "console.h"
#include "json_output.h"
#include "page_listing.h"
#include "result_messages.h"
#include "time_text.h"
#include "wide_text.h"

namespace folio::cli {
namespace {

constexpr std::string_view kHelp =
    "usage: folio list FILE [--json] [--plugin PATH] [--ini FILE]\n"
    "\n"
    "Lists the pages of a text file as the plug-in lays them out (GetArchiveInfoW):\n"
    "each page's position (the number that 'folio extract --page' takes), the size\n"
    "of its BMP file, the text file's last-write time and the page's name.\n"
    "\n"
    "  --json         print the listing as JSON\n"
    "  --plugin PATH  the plug-in library to load (default: the one beside folio)\n"
    "  --ini FILE     the plug-in's settings for this run (default: the INI file beside it)\n";

constexpr OptionSpec kJsonOption{"--json", ""};
constexpr std::array kOptions{kJsonOption, kPluginOption, kSettingsOption, kHelpOption};

std::string PadLeft(std::string text, std::size_t width) {
  return std::string(width > text.size() ? width - text.size() : 0, ' ') + text;
}

// Names last: they are the only column whose width the terminal can't be told.
std::string ListingTable(const std::vector<Page>& pages) {
  std::size_t sizeWidth = 4;
  for (const Page& page : pages) sizeWidth = std::max(sizeWidth, std::to_string(page.size).size());
  std::string table = "position  " + PadLeft("size", sizeWidth) + "  date              name\n";
  for (const Page& page : pages) {
    table += PadLeft(std::to_string(page.position), 8) + "  " + PadLeft(std::to_string(page.size), sizeWidth) +
             "  " + LocalDateText(page.timestamp) + "  " + page.name + "\n";
  }
  return table;
}

}  // namespace

int RunList(std::span<const std::string> arguments) {
  int status = kSuccess;
  const auto command = StartCommand({"list", kHelp, kOptions, 1}, arguments, status);
  if (!command) return status;

  const std::string& textFile = command->options.operands.front();
  const PageListing listing = ListPages(*command->plugin, std::filesystem::absolute(PathFromUtf8(textFile)));
  if (listing.result != SUSIE_SUCCESS) return Fail(textFile + ": " + ResultMessage(listing.result));
  PrintOut(command->options.Has(kJsonOption.name) ? ListingJson(textFile, listing.pages)
                                                  : ListingTable(listing.pages));
  return kSuccess;
}

}  // namespace folio::cli
