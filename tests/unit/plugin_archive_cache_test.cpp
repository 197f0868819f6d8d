#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "plugin/archive_cache.h"
#include "plugin/entry_record.h"
#include "plugin/page_list.h"

namespace folio::plugin {
namespace {

// Pages story000-009.bmp, story010-019.bmp, ... whose timestamps tell the
// lists apart.
std::shared_ptr<const PageList> Pages(std::uint32_t pages, std::intptr_t marker) {
  render::PageBreakList breaks;
  for (std::uint32_t i = 0; i <= pages; ++i) breaks.push_back(static_cast<std::int32_t>(10 * i));
  return std::make_shared<const PageList>(u"texts/story.txt", breaks, pages, 58, marker);
}

// The marker of the array cached for `path`, or the code Find returned.
std::intptr_t CachedMarker(const ArchiveCache& cache, std::u16string_view path) {
  ArchiveEntryW entry{};
  const int code = cache.Find(path, ArchiveRequest::ByPosition(0, entry));
  return code == SUSIE_SUCCESS ? entry.timestamp : code;
}

TEST(ArchiveCacheTest, TheSeventeenthInsertionReplacesTheOldest) {
  ArchiveCache cache;
  for (int i = 0; i < 17; ++i) cache.Insert(u"file" + std::u16string(1, u'a' + i), Pages(1, 100 + i));
  EXPECT_EQ(CachedMarker(cache, u"filea"), ArchiveCache::kNotCached);
  for (int i = 1; i < 17; ++i) EXPECT_EQ(CachedMarker(cache, u"file" + std::u16string(1, u'a' + i)), 100 + i);
}

TEST(ArchiveCacheTest, TheNewestArrayForAPathWinsAndClearForgetsAll) {
  ArchiveCache cache;
  EXPECT_EQ(CachedMarker(cache, u"a.txt"), ArchiveCache::kNotCached);
  cache.Insert(u"a.txt", Pages(1, 1));
  cache.Insert(u"b.txt", Pages(1, 2));
  cache.Insert(u"a.txt", Pages(1, 3));
  EXPECT_EQ(CachedMarker(cache, u"a.txt"), 3);
  cache.Clear();
  EXPECT_EQ(CachedMarker(cache, u"a.txt"), ArchiveCache::kNotCached);
  EXPECT_EQ(CachedMarker(cache, u"b.txt"), ArchiveCache::kNotCached);
}

TEST(ArchiveCacheTest, WholeArraysAreMadeForTheHostAndOutliveTheCache) {
  ArchiveCache cache;
  cache.Insert(u"a.txt", Pages(3, 5));
  platform::HostBlock array;
  ASSERT_EQ(cache.Find(u"a.txt", ArchiveRequest::WholeArray(array)), SUSIE_SUCCESS);
  ASSERT_EQ(array.size(), 4 * sizeof(ArchiveEntryW));
  cache.Clear();
  const auto* entries = static_cast<const ArchiveEntryW*>(array.get());
  for (std::uintptr_t i = 0; i < 3; ++i) {
    ArchiveEntryW entry{};
    ASSERT_EQ(ServeRequest(*Pages(3, 5), ArchiveRequest::ByPosition(i, entry), SUSIE_NOT_SUPPORTED),
              SUSIE_SUCCESS);
    EXPECT_EQ(std::memcmp(&entries[i], &entry, sizeof entry), 0) << i;
  }
  const ArchiveEntryW terminator{};
  EXPECT_EQ(std::memcmp(&entries[3], &terminator, sizeof terminator), 0);
}

struct EntryLookupCase {
  const char* label;
  std::uint32_t pages;
  std::optional<std::u16string> name;
  std::uintptr_t position;
  int code;  // from the cache; a fresh build gives -1 for 2
  std::uintptr_t foundPosition;
};

class EntryLookupTest : public ::testing::TestWithParam<EntryLookupCase> {};

TEST_P(EntryLookupTest, ByNameIgnoringCaseOrByPosition) {
  const EntryLookupCase& c = GetParam();
  ArchiveCache cache;
  cache.Insert(u"a.txt", Pages(c.pages, 0));
  ArchiveEntryW entry{};
  entry.crc = 0xDEADBEEF;  // tells an untouched record apart
  const ArchiveRequest request =
      c.name ? ArchiveRequest::ByName(*c.name, entry) : ArchiveRequest::ByPosition(c.position, entry);
  EXPECT_EQ(cache.Find(u"a.txt", request), c.code);
  EXPECT_EQ(ServeRequest(*Pages(c.pages, 0), request, SUSIE_NOT_SUPPORTED),
            c.code == SUSIE_SUCCESS ? SUSIE_SUCCESS : SUSIE_NOT_SUPPORTED);
  if (c.code == SUSIE_SUCCESS) {
    EXPECT_EQ(entry.position, c.foundPosition);
    EXPECT_EQ(entry.crc, 0u);
  } else {
    EXPECT_EQ(entry.crc, 0xDEADBEEF);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Requests, EntryLookupTest,
    ::testing::Values(EntryLookupCase{"position", 3, std::nullopt, 2, SUSIE_SUCCESS, 2},
                      EntryLookupCase{"positionMissing", 3, std::nullopt, 99, SUSIE_UNKNOWN_FORMAT, 0},
                      EntryLookupCase{"name", 3, u"story010-019.bmp", 0, SUSIE_SUCCESS, 1},
                      EntryLookupCase{"nameInOtherCase", 3, u"STORY020-029.BMP", 0, SUSIE_SUCCESS, 2},
                      EntryLookupCase{"nameMissing", 3, u"story030-039.bmp", 0, SUSIE_UNKNOWN_FORMAT, 0},
                      EntryLookupCase{"nameOfNoFirstLine", 3, u"story015-019.bmp", 0, SUSIE_UNKNOWN_FORMAT, 0},
                      EntryLookupCase{"nameNotOfThisForm", 3, u"story10-19.bmp", 0, SUSIE_UNKNOWN_FORMAT, 0},
                      EntryLookupCase{"emptyArray", 0, std::nullopt, 0, SUSIE_UNKNOWN_FORMAT, 0}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace folio::plugin
