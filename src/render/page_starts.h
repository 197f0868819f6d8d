// Where pages begin in a text file, noted while the text is measured, so that
// drawing a page deep into a text can read that page's lines and no others.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "render/line_source.h"
#include "text/text_stream.h"

namespace folio::render {

struct PageStart {
  std::int32_t line;       // the page's first line
  text::LineStart start;   // where that line begins in the file
  NotationState notation;  // the notation reader before that line, when the text was read with one
};

// The text stream's lines for the measuring pass, noting where the pages
// that the pass finds begin.  A noted pair is always a true line and its
// start, whatever the pass does.  Lines read ahead (Peek) keep their starts
// until they are handed out.
class PageStartRecorder final : public LineSource {
 public:
  // Past this many page starts only every second one is kept, and so on,
  // so that memory stays bounded whatever the text's length.
  static constexpr std::size_t kMostPageStarts = 4096;

  // `atTextStart`: the notation reader's state at line 0, or nothing when
  // the text is read without notation.
  PageStartRecorder(text::TextStream& stream, const NotationState& atTextStart);
  bool ReadLine(text::TextLine& line) override;
  const text::TextLine* Peek(std::size_t ahead) override;
  void PageBeginsAtLastLine(std::int32_t lineNumber, const NotationState& notation) override;
  // The page starts noted, line 0's first, once the pass has ended.
  std::vector<PageStart> TakePageStarts() { return std::move(pageStarts_); }

 private:
  void Note(const PageStart& pageStart);

  struct LineAhead {
    text::TextLine line;
    text::LineStart start;
  };

  text::TextStream& stream_;
  std::deque<LineAhead> ahead_;
  std::int64_t linesRead_ = 0;
  text::LineStart lastLineStart_;
  std::vector<PageStart> pageStarts_;
  std::int64_t pagesSeen_ = 0;
  std::int64_t keepEvery_ = 1;
};

}  // namespace folio::render
