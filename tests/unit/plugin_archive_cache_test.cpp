#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "plugin/archive_cache.h"
#include "plugin/entry_record.h"

namespace folio::plugin {
namespace {

// Pages story000-009.bmp, story010-019.bmp, ... whose timestamps tell the
// arrays apart.
EntryArray Entries(std::uint32_t pages, std::intptr_t marker) {
  EntryArray entries(pages + 1);
  for (std::uint32_t i = 0; i < pages; ++i) {
    std::memcpy(entries[i].method, "text", 5);
    entries[i].position = i;
    entries[i].timestamp = marker;
    const std::string name =
        "story" + std::to_string(1000 + 10 * i).substr(1) + "-" + std::to_string(1009 + 10 * i).substr(1) + ".bmp";
    SetFieldText(entries[i].fileName, std::u16string(name.begin(), name.end()));
  }
  return entries;
}

// The marker of the array cached for `path`, or the code Find returned.
std::intptr_t CachedMarker(const ArchiveCache& cache, std::u16string_view path) {
  ArchiveEntryW entry{};
  const int code = cache.Find(path, ArchiveRequest::ByPosition(0, entry));
  return code == SUSIE_SUCCESS ? entry.timestamp : code;
}

TEST(ArchiveCacheTest, TheSeventeenthInsertionReplacesTheOldest) {
  ArchiveCache cache;
  for (int i = 0; i < 17; ++i) cache.Insert(u"file" + std::u16string(1, u'a' + i), Entries(1, 100 + i));
  EXPECT_EQ(CachedMarker(cache, u"filea"), ArchiveCache::kNotCached);
  for (int i = 1; i < 17; ++i) EXPECT_EQ(CachedMarker(cache, u"file" + std::u16string(1, u'a' + i)), 100 + i);
}

TEST(ArchiveCacheTest, TheNewestArrayForAPathWinsAndClearForgetsAll) {
  ArchiveCache cache;
  EXPECT_EQ(CachedMarker(cache, u"a.txt"), ArchiveCache::kNotCached);
  cache.Insert(u"a.txt", Entries(1, 1));
  cache.Insert(u"b.txt", Entries(1, 2));
  cache.Insert(u"a.txt", Entries(1, 3));
  EXPECT_EQ(CachedMarker(cache, u"a.txt"), 3);
  cache.Clear();
  EXPECT_EQ(CachedMarker(cache, u"a.txt"), ArchiveCache::kNotCached);
  EXPECT_EQ(CachedMarker(cache, u"b.txt"), ArchiveCache::kNotCached);
}

TEST(ArchiveCacheTest, WholeArraysAreHandedOutAsCopies) {
  ArchiveCache cache;
  const EntryArray entries = Entries(3, 5);
  cache.Insert(u"a.txt", entries);
  platform::HostBlock copy;
  ASSERT_EQ(cache.Find(u"a.txt", ArchiveRequest::WholeArray(copy)), SUSIE_SUCCESS);
  ASSERT_EQ(copy.size(), 4 * sizeof(ArchiveEntryW));
  EXPECT_EQ(std::memcmp(copy.get(), entries.data(), copy.size()), 0);
  cache.Clear();  // the copy outlives the cached array
  EXPECT_EQ(static_cast<const ArchiveEntryW*>(copy.get())[2].position, 2u);
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
  cache.Insert(u"a.txt", Entries(c.pages, 0));
  ArchiveEntryW entry{};
  entry.crc = 0xDEADBEEF;  // tells an untouched record apart
  const ArchiveRequest request =
      c.name ? ArchiveRequest::ByName(*c.name, entry) : ArchiveRequest::ByPosition(c.position, entry);
  EXPECT_EQ(cache.Find(u"a.txt", request), c.code);
  EXPECT_EQ(ServeRequest(Entries(c.pages, 0), request, SUSIE_NOT_SUPPORTED),
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
                      EntryLookupCase{"emptyArray", 0, std::nullopt, 0, SUSIE_UNKNOWN_FORMAT, 0}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace folio::plugin
