#include "render/page_start_index.h"

#include <algorithm>
#include <utility>

#include "platform/letter_case.h"

namespace folio::render {

std::list<PageStartIndex::Entry>::iterator PageStartIndex::Locate(std::u16string_view path) {
  return std::find_if(entries_.begin(), entries_.end(),
                      [&](const Entry& entry) { return platform::SamePath(entry.path, path); });
}

void PageStartIndex::Store(std::u16string_view path, ListedText text) {
  Entry entry{std::u16string(path), std::move(text)};
  const std::lock_guard lock(mutex_);
  if (const auto known = Locate(path); known != entries_.end()) entries_.erase(known);
  if (entries_.size() >= capacity_) entries_.pop_back();
  entries_.push_front(std::move(entry));
}

std::optional<PageStartIndex::Shortcut> PageStartIndex::Find(std::u16string_view path,
                                                             const platform::FileStamp& stamp, std::int32_t line) {
  const std::lock_guard lock(mutex_);
  const auto known = Locate(path);
  if (known == entries_.end()) return std::nullopt;
  if (known->text.stamp != stamp) {
    entries_.erase(known);
    return std::nullopt;
  }
  entries_.splice(entries_.begin(), entries_, known);
  const std::vector<PageStart>& starts = known->text.pageStarts;
  const auto after =
      std::upper_bound(starts.begin(), starts.end(), line,
                       [](std::int32_t wanted, const PageStart& start) { return wanted < start.line; });
  if (after == starts.begin()) return std::nullopt;
  return Shortcut{known->text.splitting, *std::prev(after)};
}

PageStartIndex& SharedPageStartIndex() {
  static PageStartIndex index(kIndexedTexts);
  return index;
}

PageStartRecorder::PageStartRecorder(text::TextStream& stream, const PageBreakList& breaks)
    : stream_(stream), breaks_(breaks) {
  pageStarts_.push_back({0, text::NextLineStart(stream_)});
}

bool PageStartRecorder::ReadLine(text::LineBuffer& line) {
  NoteNewBreaks();
  const text::LineStart start = text::NextLineStart(stream_);
  if (!text::ReadTextLine(stream_, line)) return false;
  lastLineStart_ = start;
  ++linesRead_;
  return true;
}

std::vector<PageStart> PageStartRecorder::TakePageStarts() {
  NoteNewBreaks();
  return std::move(pageStarts_);
}

void PageStartRecorder::NoteNewBreaks() {
  for (; breaksSeen_ < breaks_.size(); ++breaksSeen_) {
    const std::int64_t lastLine = linesRead_ - 1;
    if (breaks_[breaksSeen_] == lastLine && lastLine > pageStarts_.back().line) {
      Note(static_cast<std::int32_t>(lastLine), lastLineStart_);
    }
  }
}

void PageStartRecorder::Note(std::int32_t line, const text::LineStart& start) {
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
  pageStarts_.push_back({line, start});
}

}  // namespace folio::render
