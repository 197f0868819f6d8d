#include "render/page_starts.h"

namespace folio::render {

PageStartRecorder::PageStartRecorder(text::TextStream& stream, const NotationState& atTextStart)
    : stream_(stream) {
  pageStarts_.push_back({0, text::NextLineStart(stream_), atTextStart});
}

bool PageStartRecorder::ReadLine(text::TextLine& line) {
  if (!ahead_.empty()) {
    line.Assign(ahead_.front().line.units());  // its units only, not the whole buffer
    lastLineStart_ = ahead_.front().start;
    ahead_.pop_front();
  } else {
    const text::LineStart start = text::NextLineStart(stream_);
    if (!text::ReadTextLine(stream_, line)) return false;
    lastLineStart_ = start;
  }
  ++linesRead_;
  return true;
}

const text::TextLine* PageStartRecorder::Peek(std::size_t ahead) {
  while (ahead_.size() <= ahead) {
    // Read in place: a line's buffer is 2 KB, whatever its length.
    LineAhead& next = ahead_.emplace_back();
    next.start = text::NextLineStart(stream_);
    if (!text::ReadTextLine(stream_, next.line)) {
      ahead_.pop_back();
      return nullptr;
    }
  }
  return &ahead_[ahead].line;
}

void PageStartRecorder::PageBeginsAtLastLine(std::int32_t lineNumber, const NotationState& notation) {
  // Only the line just read has a start at hand; an empty first page begins
  // where line 0 does, which is noted already.
  if (lineNumber == linesRead_ - 1 && lineNumber > pageStarts_.back().line) {
    Note({lineNumber, lastLineStart_, notation});
  }
}

void PageStartRecorder::Note(const PageStart& pageStart) {
  if (++pagesSeen_ % keepEvery_ != 0) return;
  if (pageStarts_.size() == kMostPageStarts) {
    // Keeps the first and every second one after it: those whose page count
    // is a multiple of the doubled step.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < pageStarts_.size(); i += 2) pageStarts_[kept++] = pageStarts_[i];
    pageStarts_.resize(kept);
    keepEvery_ *= 2;
    if (pagesSeen_ % keepEvery_ != 0) return;
  }
  pageStarts_.push_back(pageStart);
}

}  // namespace folio::render
