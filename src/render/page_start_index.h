// Where the pages of recently listed texts begin in their files, so that
// drawing a page deep into a text reads that page's lines and no others.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "render/line_source.h"
#include "render/render_driver.h"
#include "text/text_stream.h"

namespace folio::render {

struct PageStart {
  std::int32_t line;      // the page's first line
  text::LineStart start;  // where that line begins
};

// What one listing learnt of a text file: valid while the file keeps its
// stamp.  Line starts don't depend on the page settings, so a change of
// settings leaves them valid; only which lines begin pages changes.
struct ListedText {
  platform::FileStamp stamp;
  text::LineSplitting splitting;
  std::vector<PageStart> pageStarts;  // ascending lines
};

// A bounded, thread-safe index of the texts listed last.
class PageStartIndex {
 public:
  explicit PageStartIndex(std::size_t capacity) : capacity_(capacity) {}

  // Keeps what a listing of the file at `path` learnt, in place of anything
  // known of that path before; the text used least recently goes when full.
  void Store(std::u16string_view path, ListedText text);

  struct Shortcut {
    text::LineSplitting splitting;
    PageStart pageStart;
  };
  // The last page start at or before `line` of the file at `path`, when it
  // was listed with this stamp.  What is known of a file with another stamp
  // is forgotten.
  std::optional<Shortcut> Find(std::u16string_view path, const platform::FileStamp& stamp, std::int32_t line);

 private:
  struct Entry {
    std::u16string path;
    ListedText text;
  };

  std::list<Entry>::iterator Locate(std::u16string_view path);

  const std::size_t capacity_;
  std::mutex mutex_;
  std::list<Entry> entries_;  // most recently used first
};

// The process's index; texts of this many files are kept.
inline constexpr std::size_t kIndexedTexts = 8;
PageStartIndex& SharedPageStartIndex();

// The text stream's lines for the measuring pass, noting where pages begin.
// The pass appends each page's first line to the break list right after
// reading that line, so before every read the recorder looks at the breaks
// added since: one naming the line read last was the start of a page.  A
// noted pair is always a true line and its start, whatever the pass does.
class PageStartRecorder final : public LineSource {
 public:
  // Past this many page starts only every second one is kept, and so on,
  // so that memory stays bounded whatever the text's length.
  static constexpr std::size_t kMostPageStarts = 4096;

  PageStartRecorder(text::TextStream& stream, const PageBreakList& breaks);
  bool ReadLine(text::LineBuffer& line) override;
  // The page starts noted, once the pass has ended.
  std::vector<PageStart> TakePageStarts();

 private:
  void NoteNewBreaks();
  void Note(std::int32_t line, const text::LineStart& start);

  text::TextStream& stream_;
  const PageBreakList& breaks_;
  std::size_t breaksSeen_ = 0;
  std::int64_t linesRead_ = 0;
  text::LineStart lastLineStart_;
  std::vector<PageStart> pageStarts_;
  std::int64_t pagesSeen_ = 0;
  std::int64_t keepEvery_ = 1;
};

}  // namespace folio::render
