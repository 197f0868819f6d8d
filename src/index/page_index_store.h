// Page indexes kept in files of the user's cache folder, so that a text
// measured once is listed again, in any process, without measuring, for as
// long as neither the text nor a setting that shapes its pages changes.
// Every file is a cache: deleting any of them, at any time, is always safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/cache_files.h"
#include "platform/files.h"
#include "text/text_stream.h"

namespace folio::index {

// Raise it with every change to how texts are broken into pages: it is part
// of every key, so indexes that another version measured are never used.
inline constexpr std::uint32_t kLibraryVersion = 2;

// Every setting that changes where pages break or begin.
struct PageSettingsPrint {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t margin = 0;
  std::u16string fontFamily;
  std::int32_t fontSize = 0;
  std::int32_t pageLimit = 0;  // 0 when the listing had none
  // Later settings that change pages (Notation, say), in a form that is
  // equal exactly when their effect is.
  std::string extra;
};

// What a stored index is valid for, besides the text's content hash
// (HashText).  The path is compared as given, so give it in one form
// (Windows paths ignore letter case).
struct PageIndexKey {
  std::u16string path;
  platform::FileStamp stamp;
  PageSettingsPrint settings;
  std::uint32_t libraryVersion = kLibraryVersion;
};

// A line that begins a page and where reading can resume for it.
struct IndexedPageStart {
  std::int32_t line = 0;
  text::LineStart start;
  // What a reader resumed there needs beyond `start` (parser state, say);
  // at most kMostStateBytes.
  std::string state;
};

// What one listing of a text learnt.
struct PageIndex {
  std::vector<std::int32_t> pageBreaks;  // as the measuring pass left them
  std::uint32_t pageCount = 0;
  bool limitReached = false;
  text::LineSplitting splitting;  // the detected encoding, and the ANSI code page's lead bytes
  std::vector<IndexedPageStart> pageStarts;
};

bool operator==(const IndexedPageStart& a, const IndexedPageStart& b) noexcept;
bool operator==(const PageIndex& a, const PageIndex& b) noexcept;

class PageIndexStore {
 public:
  // The folder's cap: before it would be passed, the files used least
  // recently are removed.
  static constexpr std::uint64_t kFolderCapacity = 16u << 20;
  // No index file is larger, so reading one is always quick.
  static constexpr std::size_t kMostFileBytes = 4u << 20;
  static constexpr std::size_t kMostStateBytes = 1024;

  explicit PageIndexStore(std::unique_ptr<platform::CacheFiles> files,
                          std::uint64_t capacityBytes = kFolderCapacity) noexcept;

  // The text's content hash; none when it can't be had.
  using ContentHash = std::function<std::optional<std::uint64_t>()>;

  // The index stored for exactly this key and the content hash that
  // `contentHash` gives, marking its file used; none when there is none, or
  // its file is truncated, corrupt or of another version.  The hash, which
  // reads the whole text, is asked for only when a file holds the rest of
  // the key, the text's size and time included.
  std::optional<PageIndex> Load(const PageIndexKey& key, const ContentHash& contentHash) noexcept;
  // Stores `value` under `key` and `contentHash`, in place of what this text
  // had stored under the same settings.  Quietly stores nothing when the
  // folder can't be made or written, or `value` is too large.
  void Store(const PageIndexKey& key, std::uint64_t contentHash, const PageIndex& value) noexcept;

 private:
  std::unique_ptr<platform::CacheFiles> files_;
  std::uint64_t capacity_;
};

// The store in the user's cache folder (platform/cache_folder.h); none where
// the environment names no such folder.
std::optional<PageIndexStore> OpenUserPageIndexStore();

}  // namespace folio::index
