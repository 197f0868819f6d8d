// The page index store over real folders (and one that runs out of room):
// what it gives back must be exactly what was stored for exactly that key,
// or nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <vector>

#include "full_disk_files.h"
#include "index/hash64.h"
#include "index/page_index_file.h"
#include "index/page_index_store.h"
#include "index/text_content_hash.h"
#include "platform/cache_folder.h"
#include "support/child_process.h"
#include "support/temp_folder.h"
#include "support/test_files.h"

namespace folio::index {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::WidePath;
using testing::WriteFile;

PageIndexKey SampleKey() {
  return {u"/texts/\u30CE\u30FC\u30C8.txt",
          {2'600'000, 133'500'000'000'000'000},
          {640, 480, 4, u"Noto Sans CJK JP", 8, 0, "Notation=1"}};
}

constexpr std::uint64_t kSampleContent = 0x0123456789ABCDEF;

PageIndexStore::ContentHash ContentIs(std::uint64_t hash) {
  return [hash] { return std::optional<std::uint64_t>(hash); };
}
const PageIndexStore::ContentHash kSampleHash = ContentIs(kSampleContent);

// Every field away from its default, the per-page state at its longest.
PageIndex SampleIndex(std::int32_t pageCount = 3) {
  PageIndex value{{}, static_cast<std::uint32_t>(pageCount), true, {text::TextEncoding::Ansi, {}}, {}};
  for (int lead = 0x81; lead <= 0xFC; ++lead) value.splitting.ansiLeadBytes[lead] = lead <= 0x9F || lead >= 0xE0;
  for (std::int32_t page = 0; page < pageCount; ++page) value.pageBreaks.push_back(page * 37);
  value.pageBreaks.push_back(pageCount * 37);
  value.pageBreaks.push_back(pageCount * 37);
  value.pageStarts = {{0, {0, 0}, ""},
                      {37, {1234, u'\xDC00'}, std::string("\0\x01state", 7)},
                      {74, {0xFF'FFFF'FF12, 0}, std::string(PageIndexStore::kMostStateBytes, '\xAB')}};
  return value;
}

PageIndexStore StoreIn(const fs::path& folder, std::uint64_t capacity = PageIndexStore::kFolderCapacity) {
  return PageIndexStore(platform::OpenCacheFiles(WidePath(folder)), capacity);
}

std::vector<std::string> FileNames(const fs::path& folder) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

fs::path IndexFileOf(const fs::path& folder, const PageIndexKey& key) {
  return folder / fs::path(FileNameFor(EncodeKey(key, kSampleContent)));
}

TEST(Hash64Test, ReproducesPublishedValues) {
  std::string longText;
  for (int round = 0; round < 3; ++round)
    for (int byte = 0; byte < 256; ++byte) longText += static_cast<char>(byte);
  longText += "xyz";  // every tail: 8-byte words, a 4-byte word, single bytes
  EXPECT_EQ(Hash64(""), 0xEF46DB3751D8E999u);
  EXPECT_EQ(Hash64("a"), 0xD24EC4F1A98C6E5Bu);
  EXPECT_EQ(Hash64("abc"), 0x44BC2CF5AD770999u);
  EXPECT_EQ(Hash64("The quick brown fox jumps over the lazy dog"), 0x0B242D361FDA71BCu);
  EXPECT_EQ(Hash64(longText), 0xE921A1B45BD779F8u);
  EXPECT_EQ(Hash64("abc", 1), 0xBEA9CA8199328908u);
  EXPECT_EQ(Hash64(longText, 1), 0x0616ED66BE1BD5BBu);
  // In pieces of every length from 1 on, across stripes and within them.
  Hash64Builder pieces;
  for (std::size_t at = 0, length = 1; at < longText.size(); at += length++)
    pieces.Add(longText.data() + at, std::min(length, longText.size() - at));
  EXPECT_EQ(pieces.Value(), 0xE921A1B45BD779F8u);
}

TEST(PageIndexStoreTest, AnotherStoreOfTheFolderLoadsExactlyWhatWasStored) {
  const testing::TempFolder temp;
  const fs::path folder = temp / "cache" / "folio" / "pages";  // made on demand
  const PageIndexKey key = SampleKey();
  StoreIn(folder).Store(key, kSampleContent, SampleIndex());
  EXPECT_EQ(StoreIn(folder).Load(key, kSampleHash), SampleIndex());
  EXPECT_EQ(FileNames(folder).size(), 1u);

  // A per-page state past the limit is not stored, and nothing else is lost.
  PageIndex tooMuchState = SampleIndex();
  tooMuchState.pageStarts[1].state.assign(PageIndexStore::kMostStateBytes + 1, 'x');
  StoreIn(folder).Store(key, kSampleContent, tooMuchState);
  EXPECT_EQ(StoreIn(folder).Load(key, kSampleHash), SampleIndex());
}

TEST(PageIndexStoreTest, AChangeToAnyPartOfTheKeyMisses) {
  using Change = std::function<void(PageIndexKey&, std::uint64_t&)>;
  const std::vector<std::pair<const char*, Change>> changes = {
      {"path", [](PageIndexKey& key, std::uint64_t&) { key.path += u"x"; }},
      {"size", [](PageIndexKey& key, std::uint64_t&) { ++key.stamp.size; }},
      {"time", [](PageIndexKey& key, std::uint64_t&) { ++key.stamp.lastWriteTime; }},
      {"content", [](PageIndexKey&, std::uint64_t& content) { content ^= 1; }},
      {"width", [](PageIndexKey& key, std::uint64_t&) { ++key.settings.width; }},
      {"height", [](PageIndexKey& key, std::uint64_t&) { ++key.settings.height; }},
      {"margin", [](PageIndexKey& key, std::uint64_t&) { ++key.settings.margin; }},
      {"font", [](PageIndexKey& key, std::uint64_t&) { key.settings.fontFamily = u"Noto Sans CJK J"; }},
      {"size of font", [](PageIndexKey& key, std::uint64_t&) { ++key.settings.fontSize; }},
      {"page limit", [](PageIndexKey& key, std::uint64_t&) { key.settings.pageLimit = 10; }},
      {"extra", [](PageIndexKey& key, std::uint64_t&) { key.settings.extra.clear(); }},
      {"version", [](PageIndexKey& key, std::uint64_t&) { ++key.libraryVersion; }},
  };
  const testing::TempFolder folder;
  PageIndexStore store = StoreIn(folder.path());
  const PageIndexKey key = SampleKey();
  for (const auto& [part, change] : changes) {
    SCOPED_TRACE(part);
    store.Store(key, kSampleContent, SampleIndex());
    PageIndexKey changed = key;
    std::uint64_t content = kSampleContent;
    change(changed, content);
    // Hashing reads the whole text: only a key that matches but for the
    // content pays for it.
    int hashed = 0;
    EXPECT_FALSE(store.Load(changed, [&] { return ++hashed, std::optional<std::uint64_t>(content); }));
    EXPECT_EQ(hashed, std::string_view(part) == "content" ? 1 : 0);
    PageIndex other = SampleIndex(5);
    store.Store(changed, content, other);
    EXPECT_EQ(store.Load(changed, ContentIs(content)), other);
  }
  // A changed text's index took the place of its old one; other settings
  // and versions have files of their own.
  EXPECT_EQ(FileNames(folder.path()).size(), changes.size() - 2);
  // A text that can't be hashed has no index.
  EXPECT_FALSE(store.Load(key, [] { return std::optional<std::uint64_t>(); }));
}

// Files damaged in every way a crash, a disk or a user can damage them, and
// files that are whole but not this key's: all ignored, then replaced.
TEST(PageIndexStoreTest, DamagedOrForeignFilesAreIgnoredAndReplaced) {
  const testing::TempFolder folder;
  PageIndexStore store = StoreIn(folder.path());
  const PageIndexKey key = SampleKey();
  // Short states, so that every byte can be flipped in turn.
  PageIndex value = SampleIndex();
  value.pageStarts.back().state = "last";
  store.Store(key, kSampleContent, value);
  const fs::path file = IndexFileOf(folder.path(), key);
  const std::string good = ReadFile(file);

  PageIndexKey otherKey = key;
  otherKey.path = u"/texts/other.txt";
  // Whole files with a true checksum whose contents are wrong.
  const auto checksummed = [&](std::string bytes) {
    const std::string payload = bytes.substr(kFileHeaderBytes);
    const std::uint64_t checksum = Hash64(payload);
    for (int i = 0; i < 8; ++i) bytes[16 + i] = static_cast<char>(checksum >> (8 * i));
    return bytes;
  };
  const std::size_t valueAt = kFileHeaderBytes + EncodeKey(key, kSampleContent).bytes.size();
  std::string hugeBreakCount = good;
  hugeBreakCount.replace(valueAt + 4 + 1 + 1 + 32, 4, "\xFF\xFF\xFF\x7F");
  std::string unknownEncoding = good;
  unknownEncoding[valueAt + 5] = 9;
  std::string nextVersion = good;
  ++nextVersion[8];

  std::vector<std::pair<std::string, std::string>> damaged = {
      {"empty", ""},
      {"header only", good.substr(0, kFileHeaderBytes)},
      {"truncated", good.substr(0, good.size() / 2)},
      {"one byte short", good.substr(0, good.size() - 1)},
      {"one byte more", good + '\0'},
      {"garbage", std::string(good.size(), '\x5A')},
      {"next format version", nextVersion},
      {"another key's file", *EncodeFile(EncodeKey(otherKey, kSampleContent), value)},
      {"absurd count", checksummed(hugeBreakCount)},
      {"unknown encoding", checksummed(unknownEncoding)},
  };
  for (std::size_t i = 0; i < good.size(); ++i) {
    std::string flipped = good;
    flipped[i] = static_cast<char>(flipped[i] ^ (1 << (i % 8)));
    damaged.emplace_back("bit flipped in byte " + std::to_string(i), flipped);
  }
  for (const auto& [damage, bytes] : damaged) {
    SCOPED_TRACE(damage);
    WriteFile(file, bytes);
    ASSERT_FALSE(store.Load(key, kSampleHash));
    store.Store(key, kSampleContent, value);
    ASSERT_EQ(store.Load(key, kSampleHash), value);
  }
}

TEST(PageIndexStoreTest, AFolderThatCantBeWrittenStoresNothingAndLoadsNothing) {
  const testing::TempFolder temp;
  WriteFile(temp / "file", "a file where the cache's parent folder would be");
  PageIndexStore unmakeable = StoreIn(temp / "file" / "pages");
  unmakeable.Store(SampleKey(), kSampleContent, SampleIndex());
  EXPECT_FALSE(unmakeable.Load(SampleKey(), kSampleHash));

  // The disk fills up after the text's first listing; the text changes.
  const fs::path folder = temp / "pages";
  const std::string first = *EncodeFile(EncodeKey(SampleKey(), kSampleContent), SampleIndex());
  PageIndexStore full(std::make_unique<testing::FullDiskFiles>(folder, first.size() + 10));
  full.Store(SampleKey(), kSampleContent, SampleIndex());
  PageIndexKey changed = SampleKey();
  ++changed.stamp.lastWriteTime;
  full.Store(changed, kSampleContent, SampleIndex(7));
  EXPECT_FALSE(full.Load(changed, kSampleHash));
  EXPECT_EQ(full.Load(SampleKey(), kSampleHash), SampleIndex());  // the old index, still for the old text only
  EXPECT_EQ(FileNames(folder).size(), 1u);
}

// The child half of the next test: one writer and reader in a process of
// its own, over the folder that the parent names.
constexpr const char* kFolderVariable = "FOLIO_INDEX_STORE_TEST_FOLDER";
constexpr int kRounds = 60;

PageIndex LargeIndex() {
  return SampleIndex(60'000);
}

// Stores the small and the large index in turn, loading between stores.
// With one of them stored before any writer starts, every load must find
// one of the two, whole: a reader never meets a missing or a half file.
void WriteAndReadInTurn(const fs::path& folder) {
  PageIndexStore store = StoreIn(folder);
  const PageIndex small = SampleIndex();
  const PageIndex large = LargeIndex();
  for (int round = 0; round < kRounds; ++round) {
    store.Store(SampleKey(), kSampleContent, round % 2 == 0 ? small : large);
    const std::optional<PageIndex> loaded = store.Load(SampleKey(), kSampleHash);
    ASSERT_TRUE(loaded && (*loaded == small || *loaded == large)) << "round " << round;
  }
}

TEST(PageIndexStoreChild, DISABLED_WritesAndReadsInTurn) {
  const char* folder = std::getenv(kFolderVariable);
  ASSERT_NE(folder, nullptr);
  WriteAndReadInTurn(fs::path(folder));
}

TEST(PageIndexStoreTest, WritersInTwoProcessesAndTwoThreadsNeverLeaveAHalfFile) {
  const testing::TempFolder folder;
  StoreIn(folder.path()).Store(SampleKey(), kSampleContent, SampleIndex());
  testing::PutEnvironmentVariable(kFolderVariable, folder.path().string().c_str());
  std::vector<std::thread> writers;
  std::atomic<int> childFailures{0};
  for (int child = 0; child < 2; ++child) {
    writers.emplace_back([&] {
      const testing::ChildOutcome outcome = testing::RunChild(
          testing::ThisProgram(),
          {"--gtest_also_run_disabled_tests", "--gtest_filter=PageIndexStoreChild.DISABLED_WritesAndReadsInTurn"},
          std::chrono::seconds(120));
      if (outcome.exitStatus != 0) ++childFailures;
    });
  }
  for (int thread = 0; thread < 2; ++thread) writers.emplace_back([&] { WriteAndReadInTurn(folder.path()); });
  for (std::thread& writer : writers) writer.join();
  EXPECT_EQ(childFailures, 0);

  // One index is left, whole, and no temporary file.
  const std::optional<PageIndex> last = StoreIn(folder.path()).Load(SampleKey(), kSampleHash);
  ASSERT_TRUE(last);
  EXPECT_TRUE(*last == SampleIndex() || *last == LargeIndex());
  EXPECT_EQ(FileNames(folder.path()),
            std::vector<std::string>{IndexFileOf(folder.path(), SampleKey()).filename().string()});
}

TEST(PageIndexStoreTest, TheFullFolderGivesUpTheFilesUsedLeastRecently) {
  const testing::TempFolder folder;
  // Neither counted nor removed: not the store's.
  WriteFile(folder / "notes.txt", std::string(10 << 20, 'n'));
  // Left by a writer that died: the first to go.
  const fs::path orphan = folder / "0123456789abcdef.pages.77-0.tmp";
  WriteFile(orphan, std::string(1 << 20, 't'));
  fs::last_write_time(orphan, fs::last_write_time(orphan) - std::chrono::hours(24));

  PageIndexStore store = StoreIn(folder.path());
  // Four indexes of almost 4 MB fill most of the 16 MB.
  const PageIndex big = SampleIndex(950'000);
  std::vector<PageIndexKey> keys;
  const auto storeNext = [&] {
    keys.push_back(SampleKey());
    keys.back().path += static_cast<char16_t>(u'a' + keys.size());
    store.Store(keys.back(), kSampleContent, big);
    // Apart by more than the file system's time resolution.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  };
  for (int i = 0; i < 4; ++i) storeNext();
  ASSERT_TRUE(fs::exists(orphan));
  storeNext();
  EXPECT_FALSE(fs::exists(orphan));
  EXPECT_FALSE(store.Load(keys[0], kSampleHash));  // used least recently

  EXPECT_TRUE(store.Load(keys[1], kSampleHash));  // now used last
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  storeNext();
  EXPECT_TRUE(store.Load(keys[1], kSampleHash));
  EXPECT_FALSE(store.Load(keys[2], kSampleHash));
  for (std::size_t i = 3; i < keys.size(); ++i) EXPECT_TRUE(store.Load(keys[i], kSampleHash)) << i;
  EXPECT_TRUE(fs::exists(folder / "notes.txt"));
}

TEST(HashTextTest, SeesEveryByteOfTheTextAndOnlyAWholeText) {
  const testing::TempFolder folder;
  const fs::path path = folder / "text.txt";
  // Past one read block of 256 KiB, and not a whole number of them.
  std::string bytes(700'001, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
  const auto hashOf = [&](const std::string& content, std::uint64_t size) {
    WriteFile(path, content);
    std::optional<platform::InputFile> file = platform::InputFile::Open(WidePath(path));
    return HashText(*file, size);
  };
  EXPECT_EQ(hashOf(bytes, bytes.size()), Hash64(bytes));
  for (const std::size_t at : {std::size_t{0}, std::size_t{65'536}, bytes.size() / 2, bytes.size() - 1}) {
    std::string changed = bytes;
    changed[at] = static_cast<char>(~changed[at]);
    EXPECT_EQ(hashOf(changed, changed.size()), Hash64(changed)) << "changed at " << at;
  }
  // Cut short or grown since its size was taken: not the text of that size.
  EXPECT_FALSE(hashOf(bytes, bytes.size() + 1));
  EXPECT_FALSE(hashOf(bytes, bytes.size() - 1));
  EXPECT_EQ(hashOf("", 0), Hash64(""));
}

// A reader that detects the encoding reads the text's start twice; the hash
// vouches for what it read only when both passes read the same bytes.
TEST(HashedReadingTest, GivesTheTextsHashOnlyWhenEveryPassReadTheSameBytes) {
  const testing::TempFolder folder;
  const fs::path path = folder / "text.txt";
  const std::string bytes(300'000, 'x');
  std::vector<std::uint8_t> buffer(100'000);
  struct Case {
    const char* name;
    std::function<void(text::ByteSource&)> read;
    std::optional<std::uint64_t> hash;
  };
  const Case cases[] = {
    {"two passes, the second the shorter",
     [&](text::ByteSource& source) {
       source.Read(buffer.data(), buffer.size());
       source.Seek(0);
       source.Read(buffer.data(), 10);
     },
     Hash64(bytes)},
    {"a pass that begins elsewhere", [&](text::ByteSource& source) { source.Seek(5); }, std::nullopt},
#if !defined(_WIN32)  // where a text open for a call can't be written at all
    {"a text rewritten between the passes, its size kept",
     [&](text::ByteSource& source) {
       source.Read(buffer.data(), buffer.size());
       std::fstream(path, std::ios::in | std::ios::out | std::ios::binary).seekp(1000) << 'y';
       source.Seek(0);
     },
     std::nullopt},
#endif
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile(path, bytes);
    std::optional<platform::InputFile> file = platform::InputFile::Open(WidePath(path));
    HashedReading reading(*file);
    c.read(*reading.Bytes());
    EXPECT_EQ(reading.Finish(bytes.size()), c.hash);
  }
}

#if defined(_WIN32)
TEST(PageIndexFolderTest, IsInTheLocalApplicationDataFolderUnlessTheVariableNamesOne) {
  testing::ScopedEnvironment environment;
  const char* local = std::getenv("LOCALAPPDATA");
  ASSERT_NE(local, nullptr);
  const std::string expected = std::string(local) + "\\folio\\pages";
  const auto folderWith = [&](const char* chosen) {
    environment.Put("FOLIO_PAGE_INDEX_FOLDER", chosen);
    const std::optional<std::u16string> folder = platform::PageIndexFolder();
    return folder ? std::string(folder->begin(), folder->end()) : "(none)";
  };
  EXPECT_EQ(folderWith("D:\\cache\\pages"), "D:\\cache\\pages");
  EXPECT_EQ(folderWith("\\\\server\\share\\pages"), "\\\\server\\share\\pages");
  EXPECT_EQ(folderWith("relative\\pages"), expected);
  EXPECT_EQ(folderWith(nullptr), expected);
}
#else
TEST(PageIndexFolderTest, FollowsTheXdgRulesUnlessTheVariableNamesOne) {
  testing::ScopedEnvironment environment;
  struct Case {
    const char* chosen;  // FOLIO_PAGE_INDEX_FOLDER; null: unset
    const char* cacheHome;
    const char* home;
    std::optional<std::u16string> folder;
  };
  const std::vector<Case> cases = {
      {nullptr, "/var/cache/me", "/home/me", u"/var/cache/me/folio/pages"},
      {nullptr, nullptr, "/home/me", u"/home/me/.cache/folio/pages"},
      {nullptr, "relative/cache", "/home/me", u"/home/me/.cache/folio/pages"},
      {nullptr, "", "/home/me", u"/home/me/.cache/folio/pages"},
      {nullptr, nullptr, nullptr, std::nullopt},
      {nullptr, "", "relative", std::nullopt},
      {"/tmp/pages", "/var/cache/me", "/home/me", u"/tmp/pages"},
      {"/tmp/pages", nullptr, nullptr, u"/tmp/pages"},
      {"relative/pages", "/var/cache/me", "/home/me", u"/var/cache/me/folio/pages"},
  };
  for (const Case& c : cases) {
    environment.Put("FOLIO_PAGE_INDEX_FOLDER", c.chosen);
    environment.Put("XDG_CACHE_HOME", c.cacheHome);
    environment.Put("HOME", c.home);
    EXPECT_EQ(platform::PageIndexFolder(), c.folder)
        << (c.chosen ? c.chosen : "(unset)") << ", " << (c.cacheHome ? c.cacheHome : "(unset)");
  }
}
#endif

}  // namespace
}  // namespace folio::index
