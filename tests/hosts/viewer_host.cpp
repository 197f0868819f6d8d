// A viewer in a process of its own, for what the test runner can't do in
// its own process:
//
//   viewer_host exit-without-unload PLUGIN TEXT
//     draws the first page into memory, frees it and ends without unloading
//     the plug-in, as many viewers end;
//   viewer_host ansi-viewer PLUGIN TEXT
//     as a 32-bit viewer: ANSI functions only, the text's short (8.3) path,
//     a listing, then every page in memory, loading the plug-in for each
//     call and unloading it after;
//   viewer_host check-pages PLUGIN EXPECTED SECONDS
//     lists every text that the file EXPECTED names (support/expected_pages.h)
//     and draws its pages, round after round until SECONDS have passed (one
//     round at least): a fixed text's names and pages must be the expected
//     ones, a changing text's pages whole BMP files.
//
// Exit status: 0 when every page drawn is a whole BMP file with ink on it,
// 1 when one is not or a call fails, 2 when the plug-in can't be loaded.
#include <chrono>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "support/expected_pages.h"
#include "support/page_image.h"
#include "support/plugin_module.h"

namespace folio::testing {
namespace {

// The page in a block from the plug-in, as long as its header says.
std::string BlockBytes(SusieHandle block) {
  std::uint32_t size;
  std::memcpy(&size, static_cast<const char*>(block) + 2, sizeof size);
  return std::string(static_cast<const char*>(block), size);
}

bool Inked(const std::string& page, const std::string& what) {
  const PageImage image(page);
  if (image.whole() && image.InkedPixels() > 0) return true;
  std::cerr << what << (image.whole() ? " is blank\n" : " is not a whole BMP file\n");
  return false;
}

int ExitWithoutUnload(const std::filesystem::path& plugin, const std::filesystem::path& text) {
  PluginModule module(plugin);
  SusieHandle block = nullptr;
  const std::u16string path = text.u16string();
  const std::basic_string<SusieWideChar> widePath(path.begin(), path.end());
  const int code = module.GetFileW(widePath.c_str(), 0, reinterpret_cast<SusieWideChar*>(&block),
                                   SUSIE_OUTPUT_TO_MEMORY, nullptr, 0);
  if (code != SUSIE_SUCCESS) {
    std::cerr << "GetFileW gave " << code << "\n";
    return 1;
  }
  const bool inked = Inked(BlockBytes(block), "the page");
  module.FreeBlock(block);
  module.Abandon();
  return inked ? 0 : 1;
}

// The path as a 32-bit viewer hands it over: short, in the ANSI code page.
std::string AnsiShortPath(const std::filesystem::path& text) {
#if defined(_WIN32)
  std::wstring shortPath(MAX_PATH, L'\0');
  const DWORD length = GetShortPathNameW(text.wstring().c_str(), shortPath.data(), MAX_PATH);
  shortPath.resize(length > 0 && length < MAX_PATH ? length : 0);
  if (shortPath.empty()) shortPath = text.wstring();
  std::string ansi(4 * shortPath.size() + 1, '\0');
  const int bytes = WideCharToMultiByte(CP_ACP, 0, shortPath.c_str(), -1, ansi.data(),
                                        static_cast<int>(ansi.size()), nullptr, nullptr);
  ansi.resize(bytes > 0 ? bytes - 1 : 0);
  return ansi;
#else
  return text.string();
#endif
}

int AnsiViewer(const std::filesystem::path& plugin, const std::filesystem::path& text) {
  const std::string path = AnsiShortPath(text);
  int pages = 0;
  {
    PluginModule module(plugin, PluginModule::Unloading::Unload);
    SusieHandle entries = nullptr;
    const int code = module.GetArchiveInfo(path.c_str(), 0, 0, &entries);
    if (code != SUSIE_SUCCESS) {
      std::cerr << "GetArchiveInfo gave " << code << " for " << path << "\n";
      return 1;
    }
    for (const auto* entry = static_cast<const ArchiveEntryA*>(entries); entry->method[0]; ++entry) ++pages;
    module.FreeBlock(entries);
  }
  if (pages < 2) {
    std::cerr << "listed " << pages << " pages\n";
    return 1;
  }
  for (int position = 0; position < pages; ++position) {
    PluginModule module(plugin, PluginModule::Unloading::Unload);
    SusieHandle block = nullptr;
    const int code = module.GetFile(path.c_str(), position, reinterpret_cast<char*>(&block),
                                    SUSIE_OUTPUT_TO_MEMORY, nullptr, 0);
    if (code != SUSIE_SUCCESS) {
      std::cerr << "GetFile gave " << code << " for page " << position << "\n";
      return 1;
    }
    const bool inked = Inked(BlockBytes(block), "page " + std::to_string(position));
    module.FreeBlock(block);
    if (!inked) return 1;
  }
  std::cout << pages << " pages drawn\n";
  return 0;
}

// A changing text's listing and pages may fail while it is rewritten; a
// page handed over must still be whole.
bool ChangingTextHolds(const PluginModule& module, const SeenText& expected) {
  const std::optional<SeenText> listed = SeeText(module, expected.text, {});
  if (!listed) return true;
  const std::u16string path = expected.text.u16string();
  const std::basic_string<SusieWideChar> widePath(path.begin(), path.end());
  for (std::size_t position = 0; position < listed->names.size(); ++position) {
    SusieHandle block = nullptr;
    if (module.GetFileW(widePath.c_str(), static_cast<intptr_t>(position),
                        reinterpret_cast<SusieWideChar*>(&block), SUSIE_OUTPUT_TO_MEMORY, nullptr,
                        0) != SUSIE_SUCCESS) {
      continue;
    }
    const bool whole = ReadBitmapShape(BlockBytes(block)).has_value();
    module.FreeBlock(block);
    if (!whole) {
      std::cerr << expected.text << ": page " << position << " is not a whole BMP file\n";
      return false;
    }
  }
  return true;
}

bool FixedTextHolds(const PluginModule& module, const SeenText& expected) {
  std::vector<std::size_t> positions;
  for (std::size_t i = 0; i < expected.fingerprints.size(); ++i)
    if (expected.fingerprints[i]) positions.push_back(i);
  const std::optional<SeenText> seen = SeeText(module, expected.text, positions);
  if (seen == expected) return true;
  std::cerr << expected.text << ": "
            << (!seen                           ? "a call failed"
                : seen->names != expected.names ? "other pages listed"
                                                : "another page drawn")
            << "\n";
  return false;
}

int CheckPages(const std::filesystem::path& plugin, const std::filesystem::path& expectedFile, double seconds) {
  const std::vector<SeenText> texts = ReadSeenTexts(expectedFile);
  const PluginModule module(plugin);
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  int rounds = 0;
  do {
    for (const SeenText& text : texts) {
      if (!(text.changing ? ChangingTextHolds(module, text) : FixedTextHolds(module, text))) return 1;
    }
    ++rounds;
  } while (std::chrono::steady_clock::now() < until);
  std::cout << rounds << " rounds\n";
  return 0;
}

int Run(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == "check-pages") {
    try {
      return CheckPages(argv[2], argv[3], std::stod(argv[4]));
    } catch (const std::exception& error) {
      std::cerr << error.what() << "\n";
      return 2;
    }
  }
  if (argc != 4) {
    std::cerr << "usage: viewer_host exit-without-unload|ansi-viewer PLUGIN TEXT\n"
                 "       viewer_host check-pages PLUGIN EXPECTED SECONDS\n";
    return 2;
  }
  const std::string scenario = argv[1];
  const std::filesystem::path plugin = argv[2];
  const std::filesystem::path text = argv[3];
  try {
    if (scenario == "exit-without-unload") return ExitWithoutUnload(plugin, text);
    if (scenario == "ansi-viewer") return AnsiViewer(plugin, text);
  } catch (const std::exception& error) {
    std::cerr << error.what() << "\n";
    return 2;
  }
  std::cerr << "unknown scenario " << scenario << "\n";
  return 2;
}

}  // namespace
}  // namespace folio::testing

int main(int argc, char** argv) {
  return folio::testing::Run(argc, argv);
}
