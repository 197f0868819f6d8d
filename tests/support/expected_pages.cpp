#include "support/expected_pages.h"

#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace folio::testing {
namespace {

std::basic_string<SusieWideChar> WideText(const std::filesystem::path& path) {
  const std::u16string text = path.u16string();
  return std::basic_string<SusieWideChar>(text.begin(), text.end());
}

std::string Utf8Of(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::filesystem::path FromUtf8(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

}  // namespace

std::uint64_t Fingerprint(std::string_view bytes) {
  std::uint64_t hash = 0xCBF29CE484222325;
  for (const char byte : bytes) hash = (hash ^ static_cast<unsigned char>(byte)) * 0x100000001B3;
  return hash;
}

std::optional<SeenText> SeeText(const PluginModule& plugin, const std::filesystem::path& text,
                                const std::vector<std::size_t>& positions) {
  const std::basic_string<SusieWideChar> path = WideText(text);
  SusieHandle entries = nullptr;
  if (plugin.GetArchiveInfoW(path.c_str(), 0, 0, &entries) != SUSIE_SUCCESS) return std::nullopt;
  SeenText seen{text, false, {}, {}};
  for (const auto* entry = static_cast<const ArchiveEntryW*>(entries); entry->method[0]; ++entry) {
    const SusieWideChar* name = entry->fileName;
    seen.names.emplace_back(name, name + std::char_traits<SusieWideChar>::length(name));
  }
  plugin.FreeBlock(entries);
  seen.fingerprints.resize(seen.names.size());
  for (const std::size_t position : positions) {
    if (position >= seen.names.size()) continue;
    SusieHandle page = nullptr;
    if (plugin.GetFileW(path.c_str(), static_cast<intptr_t>(position), reinterpret_cast<SusieWideChar*>(&page),
                        SUSIE_OUTPUT_TO_MEMORY, nullptr, 0) != SUSIE_SUCCESS) {
      return std::nullopt;
    }
    std::uint32_t size;
    std::memcpy(&size, static_cast<const char*>(page) + 2, sizeof size);
    seen.fingerprints[position] = Fingerprint(std::string_view(static_cast<const char*>(page), size));
    plugin.FreeBlock(page);
  }
  return seen;
}

std::optional<SeenText> SeeEnds(const PluginModule& plugin, const std::filesystem::path& text) {
  std::optional<SeenText> listed = SeeText(plugin, text, {});
  if (!listed || listed->names.empty()) return listed;
  const std::size_t pages = listed->names.size();
  return SeeText(plugin, text, {0, pages / 2, pages - 1});
}

// One line a text ("text", its path, "changing" or "fixed"), then one a page
// ("page", its name, its fingerprint in hex or "-"), tab-separated, in UTF-8.
void WriteSeenTexts(const std::filesystem::path& file, const std::vector<SeenText>& texts) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  for (const SeenText& text : texts) {
    out << "text\t" << Utf8Of(text.text) << "\t" << (text.changing ? "changing" : "fixed") << "\n";
    for (std::size_t i = 0; i < text.names.size(); ++i) {
      out << "page\t" << Utf8Of(std::filesystem::path(text.names[i])) << "\t";
      if (text.fingerprints[i])
        out << std::hex << *text.fingerprints[i] << std::dec;
      else
        out << "-";
      out << "\n";
    }
  }
  if (!out) throw std::runtime_error("can't write " + file.string());
}

std::vector<SeenText> ReadSeenTexts(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<SeenText> texts;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string kind, first, second;
    std::getline(fields, kind, '\t');
    std::getline(fields, first, '\t');
    std::getline(fields, second, '\t');
    if (kind == "text") {
      texts.push_back({FromUtf8(first), second == "changing", {}, {}});
    } else if (kind == "page" && !texts.empty()) {
      texts.back().names.push_back(FromUtf8(first).u16string());
      texts.back().fingerprints.push_back(second == "-" ? std::nullopt
                                                        : std::optional(std::stoull(second, nullptr, 16)));
    } else {
      throw std::runtime_error("malformed line in " + file.string() + ": " + line);
    }
  }
  return texts;
}

}  // namespace folio::testing
