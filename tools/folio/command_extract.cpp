// folio extract: writes pages of a text file as BMP files into a folder.
#include <algorithm>
#include <array>
#include <fstream>
#include <optional>
#include <vector>

#include "commands.h"
#include "console.h"
#include "page_listing.h"
#include "progress_bar.h"
#include "result_messages.h"
#include "wide_text.h"

namespace folio::cli {
namespace {

constexpr std::string_view kHelp =
    "usage: folio extract FILE [-o DIR] [--page N]... [--memory] [--force] [--plugin PATH]\n"
    "\n"
    "Writes the pages of a text file as BMP files into DIR, named as 'folio list'\n"
    "shows them; every page unless --page chooses some.\n"
    "\n"
    "  -o, --output DIR  the folder to write into (default: the current folder);\n"
    "                    made when it does not exist\n"
    "  --page N          the page at position N (0 is the first page); repeat the\n"
    "                    option for more pages\n"
    "  --memory          have the plug-in hand each page over in memory and write\n"
    "                    it here, instead of having the plug-in write the file\n"
    "  --force           replace page files that already exist\n"
    "  --plugin PATH     the plug-in library to load (default: the one beside folio)\n";

constexpr OptionSpec kOutputOption{"--output", "-o", OptionValue::Text};
constexpr OptionSpec kPageOption{"--page", "", OptionValue::Position};
constexpr OptionSpec kMemoryOption{"--memory", ""};
constexpr OptionSpec kForceOption{"--force", ""};
constexpr std::array kOptions{kOutputOption, kPageOption, kMemoryOption, kForceOption, kPluginOption, kHelpOption};

constexpr std::size_t kBmpHeaderBytes = 14;

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

// A page's name comes from the plug-in; it must not lead out of the folder.
bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\:") == std::string::npos;
}

// Everything that could stop the extraction is checked before the first page
// is written: no half-written set of pages is left over a name problem.
std::string CheckTargets(const std::vector<Page>& pages, const std::filesystem::path& folder, bool force) {
  for (const Page& page : pages) {
    if (!IsPlainFileName(page.name)) return "the plug-in named a page '" + page.name + "', not a plain file name";
    const std::filesystem::path target = folder / PathFromUtf8(page.name);
    if (!force && std::filesystem::exists(std::filesystem::symlink_status(target))) {
      return PathToUtf8(target) + " already exists (--force replaces it)";
    }
  }
  return {};
}

class PageWriter {
 public:
  PageWriter(const PluginLibrary& plugin, const std::filesystem::path& textFile, std::filesystem::path folder,
             bool inMemory, bool replace)
      : plugin_(plugin),
        textFile_(PathToWide(textFile)),
        folder_(std::move(folder)),
        inMemory_(inMemory),
        replace_(replace) {}

  // Writes one page; says what went wrong, if anything.
  std::string Write(const Page& page) const {
    const std::filesystem::path target = folder_ / PathFromUtf8(page.name);
    std::error_code removeError;
    if (replace_) std::filesystem::remove(target, removeError);
    if (removeError) return "can't replace " + PathToUtf8(target) + ": " + removeError.message();
    return inMemory_ ? WriteFromMemory(page, target) : WriteThroughPlugin(page);
  }

 private:
  std::string WriteThroughPlugin(const Page& page) const {
    WideText folder = PathToWide(folder_);
    const int result =
        plugin_.GetFileW(textFile_.c_str(), static_cast<intptr_t>(page.position), folder.data(), 0, nullptr, 0);
    return result == SUSIE_SUCCESS ? std::string() : ResultMessage(result);
  }

  std::string WriteFromMemory(const Page& page, const std::filesystem::path& target) const {
    PluginBlock block(plugin_);
    const int result =
        plugin_.GetFileW(textFile_.c_str(), static_cast<intptr_t>(page.position),
                         reinterpret_cast<SusieWideChar*>(block.out()), SUSIE_OUTPUT_TO_MEMORY, nullptr, 0);
    if (result != SUSIE_SUCCESS) return ResultMessage(result);
    if (!block || !IsBmpOfSize(block.bytes(), page.size))
      return "the plug-in handed over something other than "
             "the BMP file it listed";
    std::ofstream file(target, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(block.bytes()), static_cast<std::streamsize>(page.size));
    file.close();
    return file ? std::string() : "can't write " + PathToUtf8(target);
  }

  // The listing gives the block's size; the file's own header must agree.
  static bool IsBmpOfSize(const unsigned char* bytes, std::uint64_t size) {
    if (size < kBmpHeaderBytes || bytes[0] != 'B' || bytes[1] != 'M') return false;
    const std::uint64_t recorded = bytes[2] | bytes[3] << 8 | bytes[4] << 16 | std::uint64_t(bytes[5]) << 24;
    return recorded == size;
  }

  const PluginLibrary& plugin_;
  WideText textFile_;
  std::filesystem::path folder_;
  bool inMemory_;
  bool replace_;
};

// The bar is gone before any message about a failed page appears.
std::string WritePages(const PageWriter& writer, const std::vector<Page>& pages) {
  ProgressBar bar(pages.size());
  for (const Page& page : pages) {
    std::string error = writer.Write(page);
    if (!error.empty()) return page.name + ": " + error;
    bar.Advance();
  }
  return {};
}

}  // namespace

int RunExtract(std::span<const std::string> arguments) {
  int status = kSuccess;
  const auto command = StartCommand({"extract", kHelp, kOptions, 1}, arguments, status);
  if (!command) return status;
  const ParsedOptions& options = command->options;
  const PluginLibrary& plugin = *command->plugin;

  const std::string& textFile = options.operands.front();
  const std::filesystem::path textPath = std::filesystem::absolute(PathFromUtf8(textFile));
  const PageListing listing = ListPages(plugin, textPath);
  if (listing.result != SUSIE_SUCCESS) return Fail(textFile + ": " + ResultMessage(listing.result));
  const auto pages =
      ChoosePages(textFile, listing.pages, RequestedPositions(options.Values(kPageOption.name)), status);
  if (!pages) return status;

  const std::string folderText = options.Last(kOutputOption.name).value_or(".");
  const std::filesystem::path folder = std::filesystem::absolute(PathFromUtf8(folderText));
  std::error_code folderError;
  std::filesystem::create_directories(folder, folderError);
  if (folderError || !std::filesystem::is_directory(folder)) {
    return Fail("can't make the folder " + folderText + (folderError ? ": " + folderError.message() : ""));
  }
  const bool force = options.Has(kForceOption.name);
  if (const std::string problem = CheckTargets(*pages, folder, force); !problem.empty()) return Fail(problem);

  const PageWriter writer(plugin, textPath, folder, options.Has(kMemoryOption.name), force);
  if (const std::string error = WritePages(writer, *pages); !error.empty()) return Fail(textFile + ": " + error);
  PrintOut("wrote " + std::to_string(pages->size()) + (pages->size() == 1 ? " page" : " pages") + " of " +
           textFile + " to " + folderText + "\n");
  return kSuccess;
}

}  // namespace folio::cli
