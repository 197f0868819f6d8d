// The files of one cache folder, through the few operations a cache needs.
// An interface, so that tests can stand in a folder that fails as a full
// disk does.  Names are plain file names inside the folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace folio::platform {

struct CacheFileInfo {
  std::u16string name;
  std::uint64_t size = 0;
  std::int64_t lastUse = 0;  // last-write time, 100-nanosecond intervals since 1601-01-01 UTC
};

// Replace writes under a name that ends so and then renames; a process that
// dies in between leaves such a file behind.
inline constexpr std::u16string_view kTemporaryFileSuffix = u".tmp";

class CacheFiles {
 public:
  virtual ~CacheFiles() = default;

  // Makes the folder and its missing parents; true when it exists then.
  virtual bool CreateFolder() = 0;
  // Writes `bytes` whole under a temporary name in the folder, then renames
  // that file to `name` in place of any file of that name, so that readers
  // in any process see the old file or the new one, never part of either.
  // False on any failure, leaving no temporary file.
  virtual bool Replace(std::u16string_view name, std::string_view bytes) = 0;
  // The whole file; none when it can't be read or is larger than `mostBytes`.
  virtual std::optional<std::string> Read(std::u16string_view name, std::size_t mostBytes) = 0;
  // The folder's regular files, temporary ones included; none when the folder
  // can't be read.
  virtual std::vector<CacheFileInfo> List() = 0;
  virtual bool Remove(std::u16string_view name) = 0;
  // Sets the file's last-use time to now, so that it goes last when room is made.
  virtual void MarkUsed(std::u16string_view name) = 0;
};

// The real files of the folder at `folder` (which may not exist yet).
std::unique_ptr<CacheFiles> OpenCacheFiles(std::u16string folder);

}  // namespace folio::platform
