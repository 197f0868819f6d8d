// The whole listing and extraction path over arbitrary texts and settings.
// Input: the text's bytes, then four bytes that choose the settings (page
// width and height, font size, margin, page limit, font and colour names,
// notation, vertical pages).
// Pages stay small and few, so that each run is quick.  Every listed page
// must draw into a complete BMP file of exactly the listed size.
#include <unistd.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "base/unicode.h"
#include "plugin/archive_lookup.h"
#include "settings/render_settings.h"

namespace {

using namespace folio;

// Sizes in pixels and points, absurd ones among them.
constexpr std::array<int, 8> kPageSizes{1, 8, 37, 64, 100, 150, -3, 0};
constexpr std::array<int, 8> kFontSizes{0, 1, 4, 8, 13, 40, -2, 10000};
constexpr std::array<int, 4> kMargins{0, 4, -10, 1000};
constexpr std::array<const char*, 4> kFontNames{"DejaVu Sans", "", "No Such Font", "Noto Sans CJK JP"};
constexpr std::array<const char*, 4> kColorNames{"BLACK", "GRAY", "red", "WHITE"};

void WriteWholeFile(const std::string& path, const char* bytes, std::size_t size) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes, static_cast<std::streamsize>(size));
}

// The text's path, in a folder of the run's own that also holds the page
// index, so that listings are kept and taken as they are for a user.
const std::string& TextPath() {
  static const std::string path = [] {
    char folder[] = "/tmp/folio-fuzz-XXXXXX";
    if (!mkdtemp(folder)) std::abort();
    setenv("FOLIO_PAGE_INDEX_FOLDER", (std::string(folder) + "/pages").c_str(), 1);
    return std::string(folder) + "/story.txt";
  }();
  return path;
}

std::string SettingsFor(const std::uint8_t (&choice)[4]) {
  std::string ini = "[SystemSetting]\n";
  ini += "BmpWidth=" + std::to_string(kPageSizes[choice[0] & 7]) + "\n";
  ini += "BmpHeight=" + std::to_string(kPageSizes[choice[0] >> 3 & 7]) + "\n";
  ini += "FontSize=" + std::to_string(kFontSizes[choice[1] & 7]) + "\n";
  ini += "Margin=" + std::to_string(kMargins[choice[1] >> 3 & 3]) + "\n";
  ini += "MaxPage=" + std::to_string(1 + (choice[2] & 3)) + "\n";
  ini += std::string("FontName=") + kFontNames[choice[2] >> 2 & 3] + "\n";
  ini += std::string("FontColor=") + kColorNames[choice[3] & 3] + "\n";
  ini += std::string("BGColor=") + kColorNames[choice[3] >> 2 & 3] + "\n";
  if (choice[3] & 0x10) ini += "Notation=aozora\n";
  if (choice[3] & 0x20) ini += "Vertical=1\n";
  return ini;
}

std::uint32_t LittleEndian32(const std::byte* bytes) {
  std::uint32_t value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::uint8_t choice[4] = {};
  const std::size_t textSize = size >= sizeof choice ? size - sizeof choice : size;
  std::memcpy(choice, data + textSize, size - textSize);
  const std::string settings = SettingsFor(choice);
  WriteWholeFile(base::Utf16ToUtf8(settings::SettingsFilePath()), settings.data(), settings.size());
  WriteWholeFile(TextPath(), reinterpret_cast<const char*>(data), textSize);

  const std::u16string path = base::Utf8ToUtf16(TextPath());
  plugin::ArchiveCache cache;
  plugin::PageStartIndex index(1);
  // Each lookup and drawing is a call of its own, as the exports make them.
  auto lookup = [&](const plugin::ArchiveRequest& request) {
    plugin::CallText call(plugin::SystemSources(), path);
    return plugin::LookupArchive(cache, index, call, 0, request);
  };
  platform::HostBlock array;
  const int listed = lookup(plugin::ArchiveRequest::WholeArray(array));
  if (listed != 0) {
    if (array || (listed != 2 && listed != 5 && listed != 6)) __builtin_trap();
    return 0;
  }
  const std::size_t records = array.size() / sizeof(ArchiveEntryW);
  const auto* entries = static_cast<const ArchiveEntryW*>(array.get());
  if (records == 0 || array.size() % sizeof(ArchiveEntryW) != 0 || !plugin::IsTerminator(entries[records - 1]) ||
      records - 1 > 4) {
    __builtin_trap();
  }
  for (std::size_t position = 0; position + 1 < records; ++position) {
    const ArchiveEntryW& listedEntry = entries[position];
    ArchiveEntryW found{};
    if (lookup(plugin::ArchiveRequest::ByName(plugin::FieldText(listedEntry.fileName), found)) != 0 ||
        std::memcmp(&found, &listedEntry, sizeof found) != 0 || listedEntry.position != position) {
      __builtin_trap();
    }
    platform::HostBlock page;
    plugin::CallText call(plugin::SystemSources(), path);
    if (plugin::DrawListedPage(cache, index, call, position, found, page) != 0) __builtin_trap();
    if (page.size() != static_cast<std::size_t>(listedEntry.fileSize) || page.size() < 54 ||
        LittleEndian32(page.bytes() + 2) != page.size()) {
      __builtin_trap();
    }
  }
  ArchiveEntryW beyond{};
  if (lookup(plugin::ArchiveRequest::ByPosition(records, beyond)) != 2) __builtin_trap();
  return 0;
}
