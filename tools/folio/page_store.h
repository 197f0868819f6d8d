// Where `folio extract` puts pages: BMP or PNG files in a folder, or one
// comic-book archive.  Each store is told every page before the first is
// written, so that whatever would stop the writing stops it before it starts.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "page_listing.h"
#include "plugin_library.h"
#include "wide_text.h"

namespace folio::cli {

class PageStore {
 public:
  virtual ~PageStore() = default;
  // Checks the targets of `pages` (and makes the folder); says what stands in the way, if anything.
  virtual std::string Prepare(const std::vector<Page>& pages) = 0;
  virtual std::string Write(const Page& page) = 0;
  // Once every page is written: where the pages go, they go now.
  virtual std::string Finish() = 0;
};

struct ExtractRequest {
  const PluginLibrary& plugin;
  std::filesystem::path textFile;  // absolute
  std::filesystem::path target;    // the folder, or the archive; absolute
  bool force = false;              // replace what is there
  bool inMemory = false;           // BMP files: have the plug-in hand each page over in memory
};

enum class PageFormat { Bmp, Png, ComicBook };

// The store for `format`.  Null when it can't be had, after reporting why,
// with the status to exit with in `status`.
std::unique_ptr<PageStore> OpenBmpFolder(const ExtractRequest& request);
// PNG pages are the Linux command's (libpng, libzip); folio.exe refuses them.
std::unique_ptr<PageStore> OpenPngStore(const ExtractRequest& request, PageFormat format, int& status);

// What the stores share.
// A page handed over in memory, checked against its listing.
std::string FetchPage(const ExtractRequest& request, const Page& page, PluginBlock& block);
// Page files named `names` may go into `folder`: plain names, and (unless
// `force`) no such file there yet.
std::string CheckTargets(const std::vector<std::string>& names, const std::filesystem::path& folder, bool force);
// Makes `folder` when it is missing; says why it couldn't.
std::string MakeFolder(const std::filesystem::path& folder);

}  // namespace folio::cli
