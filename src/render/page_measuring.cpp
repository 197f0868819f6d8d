#include "render/page_measuring.h"

#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "platform/environment.h"
#include "render/page_column_gauge.h"
#include "render/page_frame.h"
#include "render/page_height_gauge.h"
#include "render/page_lines.h"
#include "render/page_text.h"

namespace folio::render {

namespace {

// A text shorter than this is measured by the pass alone: starting workers
// costs more than they would save.
constexpr std::int32_t kLinesBeforeWorkers = 1000;

}  // namespace

unsigned DefaultMeasuringWorkers() {
  // A number of 0 to 8 in the environment chooses the count, for measuring
  // how listing scales with the cores in one process.
  if (const std::optional<std::u16string> chosen = platform::EnvironmentValue(kMeasuringWorkersVariable)) {
    if (chosen->size() == 1 && (*chosen)[0] >= u'0' && (*chosen)[0] <= u'0' + ParagraphHeightsAhead::kMostWorkers)
      return static_cast<unsigned>((*chosen)[0] - u'0');
  }
  if (!layout::SystemTextLayouter().LaysOutFasterOnSeveralThreads()) return 0;
  return ParagraphHeightsAhead::WorkersFor(std::thread::hardware_concurrency());
}

std::uint32_t MeasurePages(layout::TextLayouter& engine, platform::DrawingSurface& surface, LineSource& lines,
                           const settings::RenderSettings& settings, PageBreakList& pageBreaks, unsigned workers) {
  pageBreaks.assign(1, 0);
  const MeasuringFrame frame = MeasuringFrameOf(settings);
  std::unique_ptr<layout::TextMeasurer> measurer =
      engine.CreateMeasurer(surface, FontOf(settings), frame.boundRect, frame.wrapWidth, frame.maxHeight);
  // A break on the last page that the limit allows ends the run.  The count
  // of completed pages never equals a negative number, so a limit of 0 or
  // less allows any number of pages.
  const std::int64_t lastPage = std::int64_t{settings.pageLimit} - 1;

  std::unique_ptr<PageExtentGauge> gauge;
  PageHeightGauge* heightGauge = nullptr;  // horizontal pages', which workers can measure ahead for
  if (measurer && settings.vertical) {
    const bool roomForReadings = settings.notation == settings::Notation::Aozora;
    if (const std::optional<float> pitch = layout::ColumnPitch(*measurer, roomForReadings))
      gauge = std::make_unique<PageColumnGauge>(*measurer, *pitch, static_cast<float>(settings.fontSize),
                                                static_cast<float>(frame.lineLength));
  } else if (measurer) {
    auto heights = std::make_unique<PageHeightGauge>(*measurer, frame.breakLimit);
    heightGauge = heights.get();
    gauge = std::move(heights);
  }
  PageLineReader reader(lines, settings, std::nullopt);
  PageText pageText(settings);
  float height = 0;
  std::int32_t lineNumber = 0;
  std::int32_t completedPages = 0;
  bool pageEnded = false;  // a line of the page asked for a new page after it
  // Where the line read last begins in the text that the pages hold.
  std::uint64_t lineStart = 0;
  std::uint64_t lineEnd = 0;
  std::optional<ParagraphHeightsAhead> ahead;
  // Line numbers are 32-bit: a text with more lines ends where they run out.
  for (;;) {
    if (lineNumber == kLinesBeforeWorkers && heightGauge && gauge && workers > 0 && lines.Peek(0)) {
      ahead.emplace(engine, settings, lines, lineEnd, reader.StateBeforeNextLine(), workers);
      heightGauge->MeasureAheadWith(&*ahead);
    }
    if (ahead) ahead->ReadAhead();
    if (lineNumber == std::numeric_limits<std::int32_t>::max() || !reader.Next()) break;
    if (ahead) ahead->PassReadLine();
    lineStart = lineEnd;
    if (!pageEnded) {
      const std::size_t before = pageText.size();
      reader.AppendLineTo(pageText);
      lineEnd = lineStart + (pageText.size() - before);
      // Once a layout fails nothing more is measured and the last height stays.
      if (gauge && !gauge->Measure(pageText.View(), height)) {
        gauge.reset();
        heightGauge = nullptr;
        ahead.reset();
      }
    }
    if (pageEnded || height > frame.breakLimit) {  // false for NaN
      pageBreaks.push_back(lineNumber);
      lines.PageBeginsAtLastLine(lineNumber, reader.StateBeforeLine());
      if (completedPages == lastPage) break;
      pageText.Clear();
      reader.AppendLineTo(pageText);
      lineEnd = lineStart + pageText.size();
      if (gauge) gauge->Restart(lineStart);
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
