// What render offers: a text measured into pages, and a range of its lines
// drawn into a complete BMP file.  It knows lines and settings, never who asked.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/files.h"
#include "platform/host_heap.h"
#include "render/page_measuring.h"
#include "render/page_starts.h"
#include "settings/render_settings.h"
#include "text/byte_window.h"
#include "text/text_stream.h"

namespace folio::render {

enum class RenderStatus {
  Done,
  TextUnreadable,  // the text can't be read from its start
  NoBitmap,        // the page's bitmap can't be made (sizes, or memory)
  OutOfMemory,     // the BMP file's block can't be allocated
};

struct MeasuredText {
  RenderStatus status = RenderStatus::Done;
  PageBreakList pageBreaks;  // see MeasurePages
  std::uint32_t pageCount = 0;
  std::size_t pageFileSize = 0;  // the size of each page's BMP file
  // How the text was read and where its pages begin, for DrawPage to resume at.
  text::LineSplitting splitting;
  std::vector<PageStart> pageStarts;
};

// Reads the text's bytes from their start and measures it into pages, as
// the settings lay it out.
MeasuredText MeasureText(std::unique_ptr<text::ByteSource> bytes, const settings::RenderSettings& settings);

struct LineRange {
  std::int32_t firstLine;
  std::int32_t lastLine;  // before firstLine: an empty page
};

// A page start of the same file as it is now, measured earlier.
struct ResumePoint {
  text::LineSplitting splitting;
  PageStart pageStart;  // at or before the first line wanted
};

struct DrawnPage {
  RenderStatus status = RenderStatus::Done;
  platform::HostBlock image;  // the page as a BMP file, when Done
};

// Draws the lines of `range` of the open text file onto a page of the
// settings' size and colours, reading from `resume` when given (and usable)
// or else from the text's start.
DrawnPage DrawPage(platform::InputFile& file, const settings::RenderSettings& settings, const LineRange& range,
                   const std::optional<ResumePoint>& resume);

}  // namespace folio::render
