#include "render/page_measuring.h"

#include <limits>
#include <memory>
#include <optional>

#include "render/page_frame.h"
#include "render/page_height_gauge.h"
#include "render/page_lines.h"
#include "render/page_text.h"

namespace folio::render {

std::uint32_t MeasurePages(platform::TextEngine& engine, platform::DrawingSurface& surface, LineSource& lines,
                           const settings::RenderSettings& settings, PageBreakList& pageBreaks) {
  pageBreaks.assign(1, 0);
  const MeasuringFrame frame = MeasuringFrameOf(settings);
  std::unique_ptr<platform::TextMeasurer> measurer =
      engine.CreateMeasurer(surface, FontOf(settings), frame.boundRect, frame.wrapWidth, frame.maxHeight);
  // A break on the last page that the limit allows ends the run.  The count
  // of completed pages never equals a negative number, so a limit of 0 or
  // less allows any number of pages.
  const std::int64_t lastPage = std::int64_t{settings.pageLimit} - 1;

  std::optional<PageHeightGauge> gauge;
  if (measurer) gauge.emplace(*measurer, frame.breakLimit);
  PageLineReader reader(lines, settings.notation, std::nullopt);
  PageText pageText(settings);
  float height = 0;
  std::int32_t lineNumber = 0;
  std::int32_t completedPages = 0;
  bool pageEnded = false;  // a line of the page asked for a new page after it
  // Line numbers are 32-bit: a text with more lines ends where they run out.
  while (lineNumber < std::numeric_limits<std::int32_t>::max() && reader.Next()) {
    if (!pageEnded) {
      reader.AppendLineTo(pageText);
      // Once a layout fails nothing more is measured and the last height stays.
      if (gauge && !gauge->Measure(pageText.View(), height)) gauge.reset();
    }
    if (pageEnded || height > frame.breakLimit) {  // false for NaN
      pageBreaks.push_back(lineNumber);
      lines.PageBeginsAtLastLine(lineNumber, reader.StateBeforeLine());
      if (completedPages == lastPage) break;
      pageText.Clear();
      reader.AppendLineTo(pageText);
      if (gauge) gauge->Restart();
      ++completedPages;
    }
    // A page holding nothing yet stays open, so that no page comes out blank.
    pageEnded = reader.PageEndsAfterLine() && !pageText.empty();
    ++lineNumber;
  }
  pageBreaks.push_back(lineNumber);
  return static_cast<std::uint32_t>(completedPages) + 1;
}

}  // namespace folio::render
