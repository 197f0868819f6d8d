// A text file's pages as the plug-in lists them (GetArchiveInfoW).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "plugin_library.h"

namespace folio::cli {

struct Page {
  std::uint64_t position = 0;
  std::string name;  // UTF-8
  std::uint64_t size = 0;
  std::int64_t timestamp = 0;  // seconds since 1970-01-01 UTC
};

struct PageListing {
  int result = SUSIE_SUCCESS;
  std::vector<Page> pages;
};

PageListing ListPages(const PluginLibrary& plugin, const std::filesystem::path& textFile);

}  // namespace folio::cli
