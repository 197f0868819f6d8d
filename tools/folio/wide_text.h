// Text at the plug-in boundary is UTF-16 (SusieWideChar); everything the host
// reads from its command line or prints is UTF-8.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "folio/susie.h"

namespace folio::cli {

using WideText = std::basic_string<SusieWideChar>;

WideText ToWide(std::string_view utf8);
std::string ToUtf8(const SusieWideChar* text);

// Paths in any language: the command line's UTF-8 and the plug-in's UTF-16.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string PathToUtf8(const std::filesystem::path& path);
WideText PathToWide(const std::filesystem::path& path);

}  // namespace folio::cli
