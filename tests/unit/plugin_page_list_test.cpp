#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "platform/drawing_surface.h"
#include "plugin/entry_record.h"
#include "plugin/member_name.h"
#include "plugin/page_list.h"
#include "render/bitmap_file.h"

namespace folio::plugin {
namespace {

using platform::kUnixEpochAsFileTime;
using platform::SecondsSince1970;

struct PageListCase {
  std::u16string textPath;
  render::PageBreakList pageBreaks;
  std::uint32_t pageCount;
  std::vector<std::u16string> names;
};

// The whole array, as the host receives it.
EntryArray Entries(const PageList& pages) {
  EntryArray entries(pages.size() + 1);
  pages.WriteEntries(entries.data());
  return entries;
}

class PageEntriesTest : public ::testing::TestWithParam<PageListCase> {};

TEST_P(PageEntriesTest, OneEntryPerDelimitedPageThenTheTerminator) {
  const PageListCase& c = GetParam();
  const PageList pages(c.textPath, c.pageBreaks, c.pageCount, 921'654, 1'700'000'000);
  const EntryArray entries = Entries(pages);
  ASSERT_EQ(entries.size(), c.names.size() + 1);
  for (std::size_t i = 0; i < c.names.size(); ++i) {
    SCOPED_TRACE(i);
    const ArchiveEntryW& entry = entries[i];
    EXPECT_EQ(std::memcmp(entry.method, "text\0\0\0\0", 8), 0);
    EXPECT_EQ(entry.position, i);
    EXPECT_EQ(entry.compressedSize, 921'654u);
    EXPECT_EQ(entry.fileSize, 921'654u);
    EXPECT_EQ(entry.timestamp, 1'700'000'000);
    EXPECT_EQ(FieldText(entry.path), u"");
    EXPECT_EQ(FieldText(entry.fileName), c.names[i]);
    EXPECT_EQ(entry.crc, 0u);
    // The drawing side reads back exactly the lines this entry lists.
    const auto range = LineRangeFromMemberName(c.textPath, FieldText(entry.fileName));
    ASSERT_TRUE(range);
    EXPECT_EQ(range->firstLine, c.pageBreaks[i]);
    EXPECT_EQ(range->lastLine, c.pageBreaks[i + 1] - 1);
    EXPECT_EQ(pages.Find(c.names[i]), i);
  }
  const ArchiveEntryW zero{};
  EXPECT_EQ(std::memcmp(&entries.back(), &zero, sizeof zero), 0);
}

INSTANTIATE_TEST_SUITE_P(
    BreakLists, PageEntriesTest,
    ::testing::Values(PageListCase{u"texts/story.txt",
                                   {0, 41, 83, 120},
                                   3,
                                   {u"story000-040.bmp", u"story041-082.bmp", u"story083-119.bmp"}},
                      PageListCase{u"texts/story.txt", {0, 0}, 1, {u"story000--01.bmp"}},
                      PageListCase{
                          u"story.txt", {998, 1041, 1100}, 2, {u"story998-1040.bmp", u"story1041-1099.bmp"}},
                      PageListCase{u"texts/README", {0, 13}, 1, {u"README000-012.bmp"}},
                      PageListCase{u"notes.2024.txt", {0, 13}, 1, {u"notes.2024000-012.bmp"}},
                      // A count beyond what the list delimits lists only the delimited pages.
                      PageListCase{u"story.txt", {0, 13}, 5, {u"story000-012.bmp"}},
                      PageListCase{u"story.txt", {}, 1, {}}));

TEST(PageEntriesTest, LongStemsStillFitTheNameField) {
  const std::u16string stem(300, u'長');
  const std::u16string pairs = [] {
    std::u16string text;
    for (int i = 0; i < 150; ++i) text += u"\U0001F600";
    return text;
  }();
  for (const std::u16string& name : {stem, pairs}) {
    const std::u16string path = u"texts/" + name + u".txt";
    const render::PageBreakList breaks{INT32_MAX - 10, INT32_MAX};
    const EntryArray entries = Entries(PageList(path, breaks, 1, 58, 0));
    const std::u16string_view fileName = FieldText(entries[0].fileName);
    EXPECT_LT(fileName.size(), std::size_t{SUSIE_NAME_CHARS});
    EXPECT_TRUE(fileName.ends_with(u"2147483637-2147483646.bmp"));
    const auto range = LineRangeFromMemberName(path, fileName);
    ASSERT_TRUE(range);
    EXPECT_EQ(range->firstLine, INT32_MAX - 10);
  }
}

TEST(BitmapFileSizeTest, HeadersPlusPaddedRows) {
  auto fileSize = [](std::int32_t width, std::int32_t height) {
    return render::BitmapFileSize(*platform::SurfaceGeometry::For(width, height));
  };
  EXPECT_EQ(fileSize(640, 480), 921'654u);
  EXPECT_EQ(fileSize(101, 10), 3'094u);
  EXPECT_EQ(fileSize(1, 1), 58u);
}

TEST(TimestampTest, SecondsSince1970TruncateTowardZero) {
  EXPECT_EQ(SecondsSince1970(kUnixEpochAsFileTime), 0);
  EXPECT_EQ(SecondsSince1970(kUnixEpochAsFileTime + 19'999'999), 1);
  EXPECT_EQ(SecondsSince1970(kUnixEpochAsFileTime - 5), 0);
  EXPECT_EQ(SecondsSince1970(kUnixEpochAsFileTime - 15'000'000), -1);
}

TEST(TimestampTest, TheWideFieldKeepsTimesFrom2038OnAndTheNarrowOneWraps) {
  const std::int64_t from2038 = SecondsSince1970(kUnixEpochAsFileTime + (std::int64_t{1} << 31) * 10'000'000);
  EXPECT_EQ(from2038, std::int64_t{1} << 31);  // 2038-01-19 03:14:08 UTC
  EXPECT_EQ(TimestampField<std::int64_t>(from2038), std::int64_t{1} << 31);
  EXPECT_EQ(TimestampField<std::int32_t>(from2038), INT32_MIN);
  EXPECT_EQ(TimestampField<std::int32_t>(from2038 - 1), INT32_MAX);
  EXPECT_EQ(TimestampField<std::int64_t>(-1), -1);
  EXPECT_EQ(TimestampField<std::int32_t>(-1), -1);
}

}  // namespace
}  // namespace folio::plugin
