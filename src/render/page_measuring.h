// The measuring pass: splits a text into pages by the height of its laid-out
// lines.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "layout/text_layouter.h"
#include "platform/drawing_surface.h"
#include "render/line_source.h"
#include "settings/render_settings.h"

namespace folio::render {

// First-line numbers of the pages, then a closing entry (see MeasurePages).
using PageBreakList = std::vector<std::int32_t>;

inline constexpr std::string_view kMeasuringWorkersVariable = "FOLIO_MEASURING_WORKERS";

// One a core but the calling thread's, at most
// ParagraphHeightsAhead::kMostWorkers; none on one core, nor where the
// system's engine lays text out no faster on several threads.
// FOLIO_MEASURING_WORKERS, when it holds a digit of 0 to 8, says how many.
unsigned DefaultMeasuringWorkers();

// Reads the text from `lines` and fills `pageBreaks` with the first line of
// every page after 0, then one past the last line read.  A page breaks before
// the line that makes the page's text taller than height - margin, and with
// notation after a line whose note ends the page; `lines` is told of each
// line that begins a page.  With a page limit of 1 or more, reading stops at
// the break that would begin the page after the limit; that line number is
// then listed twice.  Returns the page count (at least 1).  Objects that
// can't be made measure every height as 0; a layout that can't be made keeps
// the last height measured.
//
// Past the first thousand lines, `workers` threads lay out the paragraphs of
// the lines ahead (ParagraphHeightsAhead), where `lines` can read ahead;
// the breaks are the same with any number of workers.
std::uint32_t MeasurePages(layout::TextLayouter& engine, platform::DrawingSurface& surface, LineSource& lines,
                           const settings::RenderSettings& settings, PageBreakList& pageBreaks,
                           unsigned workers = DefaultMeasuringWorkers());

}  // namespace folio::render
