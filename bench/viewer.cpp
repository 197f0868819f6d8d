#include "bench/viewer.h"

#include <algorithm>
#include <optional>

#include "plugin/member_name.h"

namespace folio::bench {

Viewer::Path Viewer::PathOf(const std::filesystem::path& file) {
  return testing::WidePathText(std::filesystem::absolute(file).make_preferred());
}

void Viewer::Configure(const std::string& font, bool unlimited, int pixels) const {
  library_.WriteSettings("FontName=" + font + "\r\nFontSize=" + std::to_string(pixels) +
                         "\r\nBmpWidth=640\r\nBmpHeight=480\r\nMargin=4\r\n" + (unlimited ? "MaxPage=0\r\n" : "") +
                         (notation_.empty() ? "" : "Notation=" + notation_ + "\r\n") +
                         (vertical_ ? "Vertical=1\r\n" : ""));
}

settings::RenderSettings Viewer::Settings() const {
  return settings::LoadRenderSettingsFrom(library_.SettingsPath().u16string());
}

int Viewer::ListThrough(const testing::PluginModule& plugin, const Path& text, Listing& listing) {
  SusieHandle block = nullptr;
  const int code = plugin.GetArchiveInfoW(text.c_str(), 0, 0, &block);
  listing = {};
  if (code == 0 && block) {
    const auto* entries = static_cast<const ArchiveEntryW*>(block);
    while (entries[listing.pages].method[0] != 0) ++listing.pages;
    // One past the last line of the page at `position`, read from its name.
    auto linesUpTo = [&](std::int64_t position) -> std::int64_t {
      const SusieWideChar* name = entries[position].fileName;
      const std::u16string memberName(name, std::find(name, name + SUSIE_NAME_CHARS, SusieWideChar{0}));
      const std::optional<render::LineRange> lines =
          plugin::LineRangeFromMemberName(std::u16string(text.begin(), text.end()), memberName);
      return lines ? std::int64_t{lines->lastLine} + 1 : 0;
    };
    if (listing.pages > 0) {
      listing.firstPageLines = linesUpTo(0);
      listing.linesCovered = linesUpTo(listing.pages - 1);
    }
  }
  if (block) plugin.FreeBlock(block);
  return code;
}

}  // namespace folio::bench
