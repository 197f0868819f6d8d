// The cost floor of listing a text: folio's own reader and text engine laying
// out every line of the text exactly once, with the plug-in's settings.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "render/page_text.h"
#include "settings/render_settings.h"

namespace folio::bench {

struct ReferenceRun {
  std::int64_t lines = 0;    // as the reader delivers them (long lines count several times)
  bool measuredAll = false;  // false when the engine could not lay a line out
};

ReferenceRun LayOutEveryLineOnce(const std::filesystem::path& text, const settings::RenderSettings& settings);

// The cost floor of drawing a page: the text of a page's lines (with the
// settings' notation, as the notation reader reads them), drawn by folio's
// text engine onto a page of the settings' size, in the box where the
// drawing pass draws it.  Nothing of the plug-in's own work is in it.
class BareDrawing {
 public:
  // The text of the lines before `endLine` (which begin the text), read now.
  BareDrawing(const std::filesystem::path& text, const settings::RenderSettings& settings, std::int64_t endLine);
  // Makes a page and draws the text on it; false when the page can't be made.
  bool Draw() const;

 private:
  settings::RenderSettings settings_;
  render::PageText pageText_;
};

// The text as the reader delivers it, in UTF-8 (for a peer that reads only UTF-8).
std::string TextAsRead(const std::filesystem::path& text);

}  // namespace folio::bench
