// The rendering driver: the one place where a text file meets pixels.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "folio/susie.h"
#include "platform/host_heap.h"

namespace folio::render {

enum class RenderMode : std::int32_t { Draw = 0, Measure = 1 };

// First-line numbers of the pages, then a closing entry (see MeasurePages).
using PageBreakList = std::vector<std::int32_t>;

struct RenderOutcome {
  std::int32_t code = 0;        // 0, or a result code: 6 text unreadable, 5 no bitmap, 2 not a page
  std::uint32_t pageCount = 0;  // measuring mode, when code is 0
};

// Opens the text, builds the page surface and measures (filling pageBreaks)
// or draws the page that `entry` names.  On success *imageOut receives the
// page as a complete BMP file; a null imageOut skips building it.
RenderOutcome RenderTextFile(std::u16string_view textPath, platform::HostBlock* imageOut,
                             const ArchiveEntryW* entry, RenderMode mode, PageBreakList* pageBreaks);

// Draws the member that `entry` names; a result code.
std::int32_t RenderPage(std::u16string_view textPath, platform::HostBlock& imageOut, const ArchiveEntryW& entry);

}  // namespace folio::render
