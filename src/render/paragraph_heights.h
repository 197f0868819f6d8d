// Paragraph heights measured ahead of the measuring pass, on worker threads.
//
// Paragraphs lay out independently of one another, so while the pass decides
// page breaks line by line, workers lay out the paragraphs of the lines that
// come next.  The pass keeps every decision, and every layout of a whole
// page text, to itself and in text order; a worker's height is only taken
// for the very units it was measured for, so the breaks are exactly those
// that the pass would find alone.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "layout/text_layouter.h"
#include "render/line_source.h"
#include "render/page_lines.h"
#include "render/page_text.h"
#include "settings/render_settings.h"

namespace folio::render {

class ParagraphHeightsAhead {
 public:
  // At most this many workers, however many cores there are.
  static constexpr unsigned kMostWorkers = 8;
  // One worker a core but the pass's own, which measures too while it would
  // wait; none on a single core.
  static unsigned WorkersFor(unsigned cores) noexcept;

  // Starts `workers` threads, each with a layout measurer of its own, that
  // measure the paragraphs of the lines that `lines` reads ahead of the
  // pass.  The pass reads next the line that begins `streamOffset` units
  // into its text, with the notation reader at `notation`.
  ParagraphHeightsAhead(layout::TextLayouter& engine, const settings::RenderSettings& settings, LineSource& lines,
                        std::uint64_t streamOffset, const NotationState& notation, unsigned workers);
  ParagraphHeightsAhead(const ParagraphHeightsAhead&) = delete;
  ParagraphHeightsAhead& operator=(const ParagraphHeightsAhead&) = delete;
  ~ParagraphHeightsAhead();  // stops the workers and waits for them

  // Queues the paragraphs of the lines up to a window ahead of the pass;
  // the pass calls it before it reads each line.
  void ReadAhead();
  // The pass has read a line.
  void PassReadLine() noexcept { --linesAhead_; }

  // The height of units [start, end) of the pass's text laid out as one
  // paragraph, when a worker measured it.  While a worker is at it, the pass
  // measures jobs further ahead with `passMeasurer`.  Nothing when none
  // measured it, or its layout failed (the pass then lays it out itself).
  // Asked in order of `start`; what begins before `start` is forgotten.
  std::optional<float> Take(std::uint64_t start, std::uint64_t end, layout::TextMeasurer& passMeasurer);

 private:
  struct Job;
  // Reads the lines ahead, one after another.
  class LinesAhead final : public LineSource {
   public:
    LinesAhead(LineSource& lines, const std::size_t& ahead) : lines_(lines), ahead_(ahead) {}
    bool ReadLine(text::TextLine& line) override;

   private:
    LineSource& lines_;
    const std::size_t& ahead_;
  };

  void Work(layout::TextLayouter& engine, const settings::RenderSettings& settings);
  void Submit(std::uint64_t start, std::uint64_t end, std::size_t units);
  // Measures `job`, with the lock released meanwhile.
  void Measure(std::unique_lock<std::mutex>& lock, Job& job, layout::TextMeasurer& measurer);

  // Reading ahead, on the pass's thread.
  std::size_t linesAhead_ = 0;
  LinesAhead lines_;
  PageLineReader reader_;
  PageText paragraph_;            // the open paragraph's lines so far, unless overlong
  std::uint64_t paragraphStart_;  // where it begins in the pass's text
  std::uint64_t streamOffset_;    // where the lines read ahead end
  char16_t lastUnit_ = 0;         // the last unit before streamOffset_
  bool overlong_ = false;         // the open paragraph is too long to measure ahead

  // Shared with the workers.
  std::mutex mutex_;
  std::condition_variable workQueued_;
  std::condition_variable workDone_;
  std::deque<std::shared_ptr<Job>> jobs_;  // ascending start
  std::size_t firstJobNumber_ = 0;         // of jobs_.front()
  std::size_t nextJobNumber_ = 0;          // the next for a worker to take
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace folio::render
