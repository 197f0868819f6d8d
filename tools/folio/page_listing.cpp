#include "page_listing.h"

#include <algorithm>
#include <iterator>

#include "wide_text.h"

namespace folio::cli {
namespace {

// The record fields may be unterminated when a name fills all 200 characters.
std::string FieldText(const SusieWideChar (&field)[SUSIE_NAME_CHARS]) {
  SusieWideChar terminated[SUSIE_NAME_CHARS + 1] = {};
  std::copy(std::begin(field), std::end(field), terminated);
  return ToUtf8(terminated);
}

}  // namespace

PageListing ListPages(const PluginLibrary& plugin, const std::filesystem::path& textFile) {
  PageListing listing;
  PluginBlock entries(plugin);
  listing.result = plugin.GetArchiveInfoW(PathToWide(textFile).c_str(), 0, 0, entries.out());
  if (listing.result != SUSIE_SUCCESS || !entries) return listing;
  // The array ends with a record whose first byte is 0.
  for (auto* entry = reinterpret_cast<const ArchiveEntryW*>(entries.bytes()); entry->method[0] != 0; ++entry) {
    listing.pages.push_back(Page{entry->position, FieldText(entry->fileName), entry->fileSize,
                                 static_cast<std::int64_t>(entry->timestamp)});
  }
  return listing;
}

}  // namespace folio::cli
