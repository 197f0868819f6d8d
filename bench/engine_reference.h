// The cost floor of listing a text: folio's own reader and text engine laying
// out every line of the text exactly once, with the plug-in's settings.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "settings/render_settings.h"

namespace folio::bench {

struct ReferenceRun {
  std::int64_t lines = 0;    // as the reader delivers them (long lines count several times)
  bool measuredAll = false;  // false when the engine could not lay a line out
};

ReferenceRun LayOutEveryLineOnce(const std::filesystem::path& text, const settings::RenderSettings& settings);

// The text as the reader delivers it, in UTF-8 (for a peer that reads only UTF-8).
std::string TextAsRead(const std::filesystem::path& text);

}  // namespace folio::bench
