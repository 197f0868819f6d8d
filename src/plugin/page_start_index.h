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
#include "render/page_starts.h"
#include "render/text_pages.h"
#include "text/text_stream.h"

namespace folio::plugin {

// What one listing learnt of a text file: valid while the file keeps its
// stamp.  Line starts don't depend on the page settings, so a change of
// settings leaves them valid; only which lines begin pages changes.
struct ListedText {
  platform::FileStamp stamp;
  text::LineSplitting splitting;
  std::vector<render::PageStart> pageStarts;  // ascending lines
};

// A bounded, thread-safe index of the texts listed last, keyed by path as
// the platform's file systems compare paths.
class PageStartIndex {
 public:
  explicit PageStartIndex(std::size_t capacity) : capacity_(capacity) {}

  // Keeps what a listing of the file at `path` learnt, in place of anything
  // known of that path before; the text used least recently goes when full.
  void Store(std::u16string_view path, ListedText text);

  // The last page start at or before `line` of the file at `path`, when it
  // was listed with this stamp.  What is known of a file with another stamp
  // is forgotten.
  std::optional<render::ResumePoint> Find(std::u16string_view path, const platform::FileStamp& stamp,
                                          std::int32_t line);

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

}  // namespace folio::plugin
