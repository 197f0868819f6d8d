// Helpers for the listing and extraction tests: texts in every encoding the
// plug-in reads, calls through the exports, and checks of what comes back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>
#else
#include <malloc.h>
#endif

#include "folio/susie.h"
#include "support/page_image.h"
#include "support/plugin_library.h"
#include "support/temp_folder.h"
#include "support/test_files.h"

namespace folio::testing {

using WideText = std::basic_string<SusieWideChar>;

enum class Encoding { Utf16LE, Utf16BE, Utf8, Ansi };

// "Line 0000 of the story\n" and so on (or the Japanese counterpart).
inline std::u16string NumberedLines(int count, bool japanese = false) {
  std::u16string text;
  for (int i = 0; i < count; ++i) {
    const std::string number = std::to_string(10000 + i).substr(1);
    text += (japanese ? u"第" : u"Line ") + std::u16string(number.begin(), number.end()) +
            (japanese ? u"行　吾輩は猫である。名前はまだ無い。\n" : u" of the story\n");
  }
  return text;
}

inline std::string Utf8(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::uint32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size())
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
    } else if (c < 0x10000) {
      out += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
              static_cast<char>(0x80 | (c & 0x3F))};
    } else {
      out += {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
              static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
    }
  }
  return out;
}

// The bytes of a text file; ANSI texts must be ASCII here.
inline std::string Encoded(std::u16string_view text, Encoding encoding) {
  if (encoding == Encoding::Utf8 || encoding == Encoding::Ansi) return Utf8(text);
  const bool little = encoding == Encoding::Utf16LE;
  std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
  for (char16_t unit : text) {
    const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
    bytes += little ? std::string{low, high} : std::string{high, low};
  }
  return bytes;
}

inline std::u16string FieldText(const SusieWideChar (&field)[SUSIE_NAME_CHARS]) {
  std::u16string text;
  for (std::size_t i = 0; i < SUSIE_NAME_CHARS && field[i]; ++i) text += static_cast<char16_t>(field[i]);
  return text;
}

// The lines a member name says its page holds.
struct LineRange {
  int firstLine;
  int lastLine;
};
inline std::optional<LineRange> ParseMemberName(std::u16string_view name, std::u16string_view stem) {
  if (!name.starts_with(stem) || !name.ends_with(u".bmp")) return std::nullopt;
  const std::u16string numbers(name.substr(stem.size(), name.size() - stem.size() - 4));
  const std::size_t dash = numbers.find(u'-', 1);
  if (dash == std::u16string::npos) return std::nullopt;
  const std::string first(numbers.begin(), numbers.begin() + dash),
      last(numbers.begin() + dash + 1, numbers.end());
  return LineRange{std::stoi(first), std::stoi(last)};
}

struct Listing {
  int code;
  std::vector<ArchiveEntryW> entries;  // without the terminator
};

inline Listing ListW(const std::filesystem::path& text, intptr_t offset = 0, unsigned int flags = 0,
                     const PluginModule& plugin = Plugin()) {
  SusieHandle block = reinterpret_cast<SusieHandle>(1);
  Listing listing{plugin.GetArchiveInfoW(WidePathText(text).c_str(), offset, flags, &block), {}};
  if (listing.code != SUSIE_SUCCESS) {
    EXPECT_EQ(block, nullptr) << "a failed listing leaves the handle null";
    return listing;
  }
  for (const auto* entry = static_cast<const ArchiveEntryW*>(block); entry->method[0]; ++entry) {
    listing.entries.push_back(*entry);
  }
  plugin.FreeBlock(block);
  return listing;
}

// A page image block from the plug-in, as long as its BMP header says.
inline std::string ReadBlock(SusieHandle block) {
  std::uint32_t size;
  std::memcpy(&size, static_cast<const char*>(block) + 2, sizeof size);
#if defined(_WIN32)
  EXPECT_EQ(LocalSize(block), size);
#endif
  return std::string(static_cast<const char*>(block), size);
}

struct Page {
  int code;
  std::string bytes;
};

inline Page ExtractW(const std::filesystem::path& text, intptr_t position, const PluginModule& plugin = Plugin()) {
  SusieHandle block = nullptr;
  Page page{plugin.GetFileW(WidePathText(text).c_str(), position, reinterpret_cast<SusieWideChar*>(&block),
                            SUSIE_OUTPUT_TO_MEMORY, nullptr, 0),
            {}};
  if (page.code == SUSIE_SUCCESS) {
    page.bytes = ReadBlock(block);
    plugin.FreeBlock(block);
  } else {
    EXPECT_EQ(block, nullptr) << "a failed extraction leaves the handle as it was";
  }
  return page;
}

inline int ExtractToFolderW(const std::filesystem::path& text, intptr_t position,
                            const std::filesystem::path& folder) {
  auto destination = WidePathText(folder);
  return Plugin().GetFileW(WidePathText(text).c_str(), position, destination.data(), 0, nullptr, 0);
}

// What the process holds: GDI objects and kernel handles (Windows only), and
// memory in use (private bytes on Windows, the heap's bytes in use elsewhere).
struct ProcessResources {
  unsigned long gdiObjects = 0;
  unsigned long handles = 0;
  std::uint64_t memoryBytes = 0;

  static ProcessResources Now() {
    ProcessResources resources;
#if defined(_WIN32)
    resources.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    DWORD handles = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    resources.handles = handles;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof memory)) {
      resources.memoryBytes = memory.PrivateUsage;
    }
#else
    const struct mallinfo2 heap = mallinfo2();
    resources.memoryBytes = heap.uordblks + heap.hblkhd;
#endif
    return resources;
  }
};

// Every test starts with its own texts and the test fonts.
class ArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override { UseSettings(""); }
  void TearDown() override { Plugin().RemoveSettings(); }

  // A named font keeps pages alike wherever the tests run.
  void UseSettings(std::string_view lines, std::string_view fontName = "DejaVu Sans") {
    Plugin().WriteSettings("FontName=" + std::string(fontName) + "\r\n" + std::string(lines));
  }
  std::filesystem::path WriteText(const std::filesystem::path& name, std::u16string_view text,
                                  Encoding encoding = Encoding::Utf8) const {
    const auto path = texts_ / name;
    WriteFile(path, Encoded(text, encoding));
    return path;
  }

  TempFolder texts_;
};

}  // namespace folio::testing
