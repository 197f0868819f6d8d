#include "render/paragraph_heights.h"

#include <algorithm>
#include <utility>

#include "render/page_frame.h"

namespace folio::render {
namespace {

// Lines read ahead of the pass for each worker: enough to keep the workers
// busy while the pass sums heights, few enough to waste little past a page
// limit.
constexpr std::size_t kLinesAheadPerWorker = 32;
// A paragraph longer than this (a text without line feeds, say) is left to
// the pass: measuring each of its growing prefixes ahead would cost more
// than it saves, and keeping it would cost memory.
constexpr std::size_t kMostParagraphUnits = 16 * 1024;

}  // namespace

struct ParagraphHeightsAhead::Job {
  enum class State { Queued, Running, Measured, Failed, LeftToThePass };

  std::uint64_t start;
  std::uint64_t end;
  PageText paragraph;  // the units from `start`, and maybe a line feed after `end`
  std::size_t units;
  State state = State::Queued;
  float height = 0;
};

unsigned ParagraphHeightsAhead::WorkersFor(unsigned cores) noexcept {
  return cores <= 1 ? 0 : std::min(cores - 1, kMostWorkers);
}

bool ParagraphHeightsAhead::LinesAhead::ReadLine(text::TextLine& line) {
  const text::TextLine* next = lines_.Peek(ahead_);
  if (!next) return false;
  line.Assign(next->units());
  return true;
}

ParagraphHeightsAhead::ParagraphHeightsAhead(layout::TextLayouter& engine,
                                             const settings::RenderSettings& settings, LineSource& lines,
                                             std::uint64_t streamOffset, const NotationState& notation,
                                             unsigned workers)
    : lines_(lines, linesAhead_),
      reader_(lines_, settings, notation),
      paragraph_(settings),
      paragraphStart_(streamOffset),
      streamOffset_(streamOffset) {
  workers_.reserve(workers);
  try {
    for (unsigned i = 0; i < workers; ++i)
      workers_.emplace_back([this, &engine, settings] { Work(engine, settings); });
  } catch (...) {
    // Fewer workers (or none) measure ahead; the pass measures the rest.
  }
}

ParagraphHeightsAhead::~ParagraphHeightsAhead() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  workQueued_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void ParagraphHeightsAhead::Work(layout::TextLayouter& engine, const settings::RenderSettings& settings) {
  // Made on the worker's own thread: the engine's objects for one thread.
  const MeasuringFrame frame = MeasuringFrameOf(settings);
  std::unique_ptr<layout::TextMeasurer> measurer;
  try {
    measurer = engine.CreateLayoutMeasurer(FontOf(settings), frame.wrapWidth, frame.maxHeight);
  } catch (...) {
  }
  std::unique_lock lock(mutex_);
  for (;;) {
    workQueued_.wait(lock, [&] { return stopping_ || nextJobNumber_ < firstJobNumber_ + jobs_.size(); });
    if (stopping_) return;
    const std::shared_ptr<Job> job = jobs_[nextJobNumber_++ - firstJobNumber_];
    if (job->state != Job::State::Queued) continue;
    if (measurer) {
      Measure(lock, *job, *measurer);
    } else {
      job->state = Job::State::Failed;
      workDone_.notify_all();
    }
  }
}

void ParagraphHeightsAhead::Measure(std::unique_lock<std::mutex>& lock, Job& job, layout::TextMeasurer& measurer) {
  job.state = Job::State::Running;
  lock.unlock();
  float height = 0;
  bool measured = false;
  try {
    measured = measurer.MeasureHeight(job.paragraph.View().Part(0, job.units), height);
  } catch (...) {
  }
  lock.lock();
  job.height = height;
  job.state = measured ? Job::State::Measured : Job::State::Failed;
  workDone_.notify_all();
}

void ParagraphHeightsAhead::Submit(std::uint64_t start, std::uint64_t end, std::size_t units) {
  auto job = std::make_shared<Job>(Job{start, end, paragraph_, units});
  {
    const std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
  }
  workQueued_.notify_one();
}

void ParagraphHeightsAhead::ReadAhead() {
  if (workers_.empty()) return;
  const std::size_t window = kLinesAheadPerWorker * workers_.size();
  while (linesAhead_ < window && reader_.Next()) {
    ++linesAhead_;
    const std::size_t before = paragraph_.size();
    reader_.AppendLineTo(paragraph_);
    const std::size_t units = paragraph_.size() - before;
    if (units == 0) continue;  // a line of notes alone
    const std::u16string_view text = paragraph_.View().text;
    const char16_t previous = text.size() >= 2 ? text[text.size() - 2] : lastUnit_;
    streamOffset_ += units;
    lastUnit_ = text.back();
    overlong_ = overlong_ || text.size() > kMostParagraphUnits;
    // As the pass's gauge splits paragraphs: at a line feed, but for one
    // right after a carriage return.
    const bool endsParagraph = text.back() == u'\n' && previous != u'\r';
    if (endsParagraph) {
      // Without its line feed; an empty paragraph the pass knows already.
      if (!overlong_ && text.size() > 1) Submit(paragraphStart_, streamOffset_ - 1, text.size() - 1);
      paragraph_.Clear();
      paragraphStart_ = streamOffset_;
      overlong_ = false;
    } else if (!overlong_) {
      Submit(paragraphStart_, streamOffset_, text.size());  // the open paragraph so far
    } else {
      paragraph_.Clear();
    }
  }
}

std::optional<float> ParagraphHeightsAhead::Take(std::uint64_t start, std::uint64_t end,
                                                 layout::TextMeasurer& passMeasurer) {
  std::unique_lock lock(mutex_);
  while (!jobs_.empty() && jobs_.front()->start < start) {
    jobs_.pop_front();
    ++firstJobNumber_;
  }
  // Jobs the pass went past are no worker's to take.
  nextJobNumber_ = std::max(nextJobNumber_, firstJobNumber_);
  const auto job = std::find_if(jobs_.begin(), jobs_.end(), [&](const std::shared_ptr<Job>& queued) {
    return queued->start > start || queued->end == end;
  });
  if (job == jobs_.end() || (*job)->start != start) return std::nullopt;
  const std::shared_ptr<Job> found = *job;
  // Not begun: the pass lays it out at once rather than wait for a worker.
  if (found->state == Job::State::Queued) found->state = Job::State::LeftToThePass;
  while (found->state == Job::State::Running) {
    // Rather than wait idle, the pass measures the job furthest ahead that
    // no worker has begun.
    const auto spare = std::find_if(jobs_.rbegin(), jobs_.rend(), [](const std::shared_ptr<Job>& queued) {
      return queued->state == Job::State::Queued;
    });
    if (spare == jobs_.rend()) {
      workDone_.wait(lock, [&] { return found->state != Job::State::Running; });
    } else {
      Measure(lock, **spare, passMeasurer);
    }
  }
  if (found->state != Job::State::Measured) return std::nullopt;
  return found->height;
}

}  // namespace folio::render
