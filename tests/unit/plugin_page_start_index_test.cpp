// The index of page starts: the last start at or before a line, of a file
// that keeps its stamp; the text used least recently goes first.
#include <gtest/gtest.h>

#include <vector>

#include "plugin/page_start_index.h"

namespace folio::plugin {
namespace {

render::PageStart StartAt(std::int32_t line) {
  return {line, {static_cast<std::uint64_t>(line) * 10, 0}, std::nullopt};
}

ListedText Listed(platform::FileStamp stamp, std::vector<std::int32_t> lines) {
  ListedText text{stamp, {text::TextEncoding::Utf8, {}}, {}};
  for (std::int32_t line : lines) text.pageStarts.push_back(StartAt(line));
  return text;
}

std::optional<std::int32_t> FoundLine(PageStartIndex& index, std::u16string_view path, platform::FileStamp stamp,
                                      std::int32_t line) {
  const auto shortcut = index.Find(path, stamp, line);
  if (!shortcut) return std::nullopt;
  EXPECT_EQ(shortcut->pageStart.start.byteOffset, static_cast<std::uint64_t>(shortcut->pageStart.line) * 10);
  return shortcut->pageStart.line;
}

TEST(PageStartIndexTest, FindsTheLastPageStartAtOrBeforeALineOfTheSameFile) {
  PageStartIndex index(4);
  const platform::FileStamp stamp{100, 5};
  index.Store(u"a.txt", Listed(stamp, {0, 40, 80}));
  EXPECT_EQ(FoundLine(index, u"a.txt", stamp, 0), 0);
  EXPECT_EQ(FoundLine(index, u"a.txt", stamp, 79), 40);
  EXPECT_EQ(FoundLine(index, u"a.txt", stamp, 80), 80);
  EXPECT_EQ(FoundLine(index, u"a.txt", stamp, 1'000'000), 80);
  EXPECT_EQ(FoundLine(index, u"a.txt", stamp, -1), std::nullopt);
  EXPECT_EQ(FoundLine(index, u"b.txt", stamp, 50), std::nullopt);
  // Another size or time: the file changed, and what was known of it goes.
  EXPECT_EQ(FoundLine(index, u"a.txt", {101, 5}, 50), std::nullopt);
  EXPECT_EQ(FoundLine(index, u"a.txt", stamp, 50), std::nullopt);
  index.Store(u"a.txt", Listed({100, 6}, {0, 30}));
  EXPECT_EQ(FoundLine(index, u"a.txt", {100, 5}, 50), std::nullopt);
  index.Store(u"a.txt", Listed({100, 6}, {0, 60}));  // a new listing replaces the old one
  EXPECT_EQ(FoundLine(index, u"a.txt", {100, 6}, 50), 0);
}

TEST(PageStartIndexTest, TheTextUsedLeastRecentlyGoesWhenFull) {
  PageStartIndex index(2);
  const platform::FileStamp stamp{1, 1};
  index.Store(u"a", Listed(stamp, {0}));
  index.Store(u"b", Listed(stamp, {0}));
  EXPECT_TRUE(FoundLine(index, u"a", stamp, 0));
  index.Store(u"c", Listed(stamp, {0}));
  EXPECT_TRUE(FoundLine(index, u"a", stamp, 0));
  EXPECT_FALSE(FoundLine(index, u"b", stamp, 0));
  EXPECT_TRUE(FoundLine(index, u"c", stamp, 0));
}

}  // namespace
}  // namespace folio::plugin
