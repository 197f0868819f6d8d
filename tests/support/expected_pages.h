// What a viewer must see of a text: its pages' names and, for the pages
// drawn, their fingerprints.  Written to a file, it tells a viewer in
// another process (viewer_host check-pages) what to expect.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/plugin_module.h"

namespace folio::testing {

struct SeenText {
  std::filesystem::path text;
  // Rewritten while the run lasts: its pages need only be whole BMP files.
  bool changing = false;
  std::vector<std::u16string> names;                       // every page's, as listed
  std::vector<std::optional<std::uint64_t>> fingerprints;  // by position: of the pages drawn
  friend bool operator==(const SeenText&, const SeenText&) = default;
};

// 64-bit FNV-1a of a page's bytes.
std::uint64_t Fingerprint(std::string_view bytes);

// The text listed through `plugin`, and the pages at `positions` drawn (a
// position past the last page is left out); none when the listing fails.
std::optional<SeenText> SeeText(const PluginModule& plugin, const std::filesystem::path& text,
                                const std::vector<std::size_t>& positions);
// The same for the first, the middle and the last page.
std::optional<SeenText> SeeEnds(const PluginModule& plugin, const std::filesystem::path& text);

void WriteSeenTexts(const std::filesystem::path& file, const std::vector<SeenText>& texts);
std::vector<SeenText> ReadSeenTexts(const std::filesystem::path& file);

}  // namespace folio::testing
