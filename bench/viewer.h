// The plug-in as a viewer uses it: loaded from a folder of its own, beside its
// INI file, and used only through its exports.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "bench/page_request.h"
#include "settings/render_settings.h"
#include "support/plugin_library.h"

namespace folio::bench {

class Viewer {
 public:
  using Path = WidePath;

  explicit Viewer(const std::filesystem::path& plugin) : library_(plugin) {}

  // The full path in the form the W functions take.
  static Path PathOf(const std::filesystem::path& file);

  const std::filesystem::path& folder() const { return library_.folder(); }
  // The loaded copy, beside its settings, for other processes to load.
  const std::filesystem::path& libraryPath() const { return library_.libraryPath(); }

  // The Notation value that Configure writes; empty writes no key.
  void SetNotation(std::string notation) { notation_ = std::move(notation); }
  // Whether Configure asks for vertical pages (Vertical=1).
  void SetVertical(bool vertical) { vertical_ = vertical; }
  // Pages of 640 x 480 with margin 4 in `font` at `pixels` px; the default
  // page limit unless `unlimited` (MaxPage=0).
  void Configure(const std::string& font, bool unlimited, int pixels = 8) const;
  // The settings as the plug-in reads them.
  settings::RenderSettings Settings() const;

  struct Listing {
    std::int64_t pages = 0;
    std::int64_t firstPageLines = 0;  // one past the last line of the first page
    std::int64_t linesCovered = 0;    // one past the last line of the last page listed
  };
  // GetArchiveInfoW; a result code.
  int List(const Path& text, Listing& listing) const { return ListThrough(library_, text, listing); }
  // GetFileW with memory output; a result code.
  int Extract(const Path& text, std::int64_t position, const PageUse& use = {}) const {
    return ExtractPage(library_, text, position, use);
  }

  static int ListThrough(const testing::PluginModule& plugin, const Path& text, Listing& listing);

 private:
  testing::PluginLibrary library_;
  std::string notation_;
  bool vertical_ = false;
};

}  // namespace folio::bench
