// folio extract: writes pages of a text file as BMP or PNG files into a
// folder, or as PNG pages into one comic-book archive.
#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "commands.h"
#include "console.h"
#include "page_listing.h"
#include "page_store.h"
#include "progress_bar.h"
#include "result_messages.h"
#include "wide_text.h"

namespace folio::cli {
namespace {

constexpr std::string_view kHelp =
    "usage: folio extract FILE [-o DIR | --cbz BOOK] [--png] [--page N]... [--memory] [--force]\n"
    "                          [--plugin PATH] [--ini FILE]\n"
    "\n"
    "Writes the pages of a text file as BMP files into DIR, named as 'folio list'\n"
    "shows them; every page unless --page chooses some.\n"
    "\n"
    "  -o, --output DIR  the folder to write into (default: the current folder);\n"
    "                    made when it does not exist\n"
    "  --png             write PNG files instead, with the same pixels\n"
    "  --cbz BOOK        write one comic-book archive BOOK instead: the pages as PNG\n"
    "                    files in page order, and a ComicInfo.xml with the title\n"
    "                    (the text's name) and the page count\n"
    "                    (--png and --cbz are the Linux command's: folio.exe\n"
    "                    writes BMP files only)\n"
    "  --page N          the page at position N (0 is the first page); repeat the\n"
    "                    option for more pages\n"
    "  --memory          have the plug-in hand each BMP page over in memory and\n"
    "                    write it here, instead of having the plug-in write the file\n"
    "  --force           replace page files, or the archive, that already exist\n"
    "  --plugin PATH     the plug-in library to load (default: the one beside folio)\n"
    "  --ini FILE        the plug-in's settings for this run (default: the INI file\n"
    "                    beside it)\n"
    "\n"
    "PNG files and archives are written whole or not at all: when writing fails,\n"
    "what was there before is left as it was.\n";

constexpr OptionSpec kOutputOption{"--output", "-o", OptionValue::Text};
constexpr OptionSpec kPngOption{"--png", ""};
constexpr OptionSpec kComicBookOption{"--cbz", "", OptionValue::Text};
constexpr OptionSpec kPageOption{"--page", "", OptionValue::Position};
constexpr OptionSpec kMemoryOption{"--memory", ""};
constexpr OptionSpec kForceOption{"--force", ""};
constexpr std::array kOptions{kOutputOption, kPngOption,    kComicBookOption, kPageOption, kMemoryOption,
                              kForceOption,  kPluginOption, kSettingsOption,  kHelpOption};

// The positions that --page names (parsing checked them), ascending, each once.
std::vector<std::uint64_t> RequestedPositions(const std::vector<std::string>& requested) {
  std::vector<std::uint64_t> positions;
  for (const std::string& text : requested) positions.push_back(ParsePosition(text).value_or(0));
  std::sort(positions.begin(), positions.end());
  positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
  return positions;
}

std::string PageCountText(std::size_t count) {
  if (count == 0) return "no pages";
  if (count == 1) return "1 page (position 0)";
  return std::to_string(count) + " pages (positions 0 to " + std::to_string(count - 1) + ")";
}

// The pages at `positions`; all pages when none are asked for.  Nothing when a
// position has no page, after reporting it.
std::optional<std::vector<Page>> ChoosePages(const std::string& textFile, const std::vector<Page>& pages,
                                             const std::vector<std::uint64_t>& positions, int& status) {
  if (positions.empty()) return pages;
  std::vector<Page> chosen;
  for (const std::uint64_t position : positions) {
    const auto page =
        std::find_if(pages.begin(), pages.end(), [&](const Page& p) { return p.position == position; });
    if (page == pages.end()) {
      status = Fail(textFile + " has " + PageCountText(pages.size()) + "; there is no page at position " +
                    std::to_string(position));
      return std::nullopt;
    }
    chosen.push_back(*page);
  }
  return chosen;
}

// The bar is gone before any message about a failed page appears.
std::string WritePages(PageStore& store, const std::vector<Page>& pages) {
  {
    ProgressBar bar(pages.size());
    for (const Page& page : pages) {
      std::string error = store.Write(page);
      if (!error.empty()) return page.name + ": " + error;
      bar.Advance();
    }
  }
  return store.Finish();
}

}  // namespace

int RunExtract(std::span<const std::string> arguments) {
  int status = kSuccess;
  const auto command = StartCommand({"extract", kHelp, kOptions, 1}, arguments, status);
  if (!command) return status;
  const ParsedOptions& options = command->options;

  const auto book = options.Last(kComicBookOption.name);
  if (book && options.Has(kOutputOption.name)) {
    return Fail("extract: --cbz writes one archive, -o a folder of pages: give one of them", kUsageError);
  }
  const PageFormat format = book                           ? PageFormat::ComicBook
                            : options.Has(kPngOption.name) ? PageFormat::Png
                                                           : PageFormat::Bmp;
  const std::string& textFile = options.operands.front();
  const std::string targetText = book.value_or(options.Last(kOutputOption.name).value_or("."));
  const ExtractRequest request{*command->plugin, std::filesystem::absolute(PathFromUtf8(textFile)),
                               std::filesystem::absolute(PathFromUtf8(targetText)), options.Has(kForceOption.name),
                               options.Has(kMemoryOption.name)};
  const std::unique_ptr<PageStore> store =
      format == PageFormat::Bmp ? OpenBmpFolder(request) : OpenPngStore(request, format, status);
  if (!store) return status;

  const PageListing listing = ListPages(request.plugin, request.textFile);
  if (listing.result != SUSIE_SUCCESS) return Fail(textFile + ": " + ResultMessage(listing.result));
  const auto pages =
      ChoosePages(textFile, listing.pages, RequestedPositions(options.Values(kPageOption.name)), status);
  if (!pages) return status;
  if (const std::string problem = store->Prepare(*pages); !problem.empty()) return Fail(problem);
  if (const std::string error = WritePages(*store, *pages); !error.empty()) return Fail(textFile + ": " + error);
  PrintOut("wrote " + std::to_string(pages->size()) + (pages->size() == 1 ? " page" : " pages") + " of " +
           textFile + " to " + targetText + "\n");
  return kSuccess;
}

}  // namespace folio::cli
