#include "plugin/page_start_index.h"

#include <algorithm>
#include <utility>

#include "platform/letter_case.h"

namespace folio::plugin {

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

std::optional<render::ResumePoint> PageStartIndex::Find(std::u16string_view path, const platform::FileStamp& stamp,
                                                        std::int32_t line) {
  const std::lock_guard lock(mutex_);
  const auto known = Locate(path);
  if (known == entries_.end()) return std::nullopt;
  if (known->text.stamp != stamp) {
    entries_.erase(known);
    return std::nullopt;
  }
  entries_.splice(entries_.begin(), entries_, known);
  const std::vector<render::PageStart>& starts = known->text.pageStarts;
  const auto after =
      std::upper_bound(starts.begin(), starts.end(), line,
                       [](std::int32_t wanted, const render::PageStart& start) { return wanted < start.line; });
  if (after == starts.begin()) return std::nullopt;
  return render::ResumePoint{known->text.splitting, *std::prev(after)};
}

PageStartIndex& SharedPageStartIndex() {
  static PageStartIndex index(kIndexedTexts);
  return index;
}

}  // namespace folio::plugin
