// Cache files through POSIX calls on the UTF-8 form of the paths.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "base/unicode.h"
#include "platform/cache_files.h"
#include "platform/files.h"

namespace folio::platform {
namespace {

std::int64_t FileTimeOf(const struct timespec& time) {
  return kUnixEpochAsFileTime + static_cast<std::int64_t>(time.tv_sec) * kFileTimeIntervalsPerSecond +
         time.tv_nsec / 100;
}

bool WriteWhole(int descriptor, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t count = write(descriptor, bytes.data(), bytes.size());
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
  return true;
}

struct DirectoryClose {
  void operator()(DIR* directory) const noexcept { closedir(directory); }
};

class PosixCacheFiles final : public CacheFiles {
 public:
  explicit PosixCacheFiles(std::u16string folder) : folder_(base::Utf16ToUtf8(folder)) {}

  bool CreateFolder() override {
    // Every missing level, as `mkdir -p` makes them; private to the user, as
    // the XDG rules ask of new cache folders.
    for (std::size_t slash = folder_.find('/', 1); slash != std::string::npos;
         slash = folder_.find('/', slash + 1))
      mkdir(folder_.substr(0, slash).c_str(), 0700);
    mkdir(folder_.c_str(), 0700);
    struct stat status;
    return stat(folder_.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
  }

  bool Replace(std::u16string_view name, std::string_view bytes) override {
    static std::atomic<std::uint64_t> counter{0};
    const std::string target = PathOf(name);
    // Unique among living processes and this process's threads; a file left
    // by a dead process of the same id is simply overwritten.
    const std::string temporary = target + "." + std::to_string(getpid()) + "-" + std::to_string(counter++) +
                                  base::Utf16ToUtf8(kTemporaryFileSuffix);
    FileHandle file(open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (file.value() < 0) return false;
    const bool written = WriteWhole(static_cast<int>(file.value()), bytes);
    if (!file.Close() || !written || std::rename(temporary.c_str(), target.c_str()) != 0) {
      unlink(temporary.c_str());
      return false;
    }
    return true;
  }

  std::optional<std::string> Read(std::u16string_view name, std::size_t mostBytes) override {
    FileHandle file(open(PathOf(name).c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    const int descriptor = static_cast<int>(file.value());
    struct stat status;
    if (descriptor < 0 || fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) ||
        static_cast<std::uint64_t>(status.st_size) > mostBytes) {
      return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(status.st_size), '\0');
    std::size_t filled = 0;
    while (filled < bytes.size()) {
      const ssize_t count = read(descriptor, bytes.data() + filled, bytes.size() - filled);
      if (count < 0 && errno == EINTR) continue;
      if (count <= 0) return std::nullopt;
      filled += static_cast<std::size_t>(count);
    }
    return bytes;
  }

  std::vector<CacheFileInfo> List() override {
    std::vector<CacheFileInfo> files;
    const std::unique_ptr<DIR, DirectoryClose> directory(opendir(folder_.c_str()));
    if (!directory) return files;
    while (const dirent* entry = readdir(directory.get())) {
      struct stat status;
      if (fstatat(dirfd(directory.get()), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0 ||
          !S_ISREG(status.st_mode)) {
        continue;
      }
      files.push_back({base::Utf8ToUtf16(entry->d_name), static_cast<std::uint64_t>(status.st_size),
                       FileTimeOf(status.st_mtim)});
    }
    return files;
  }

  bool Remove(std::u16string_view name) override { return unlink(PathOf(name).c_str()) == 0; }

  void MarkUsed(std::u16string_view name) override { utimensat(AT_FDCWD, PathOf(name).c_str(), nullptr, 0); }

 private:
  std::string PathOf(std::u16string_view name) const { return folder_ + "/" + base::Utf16ToUtf8(name); }

  std::string folder_;
};

}  // namespace

std::unique_ptr<CacheFiles> OpenCacheFiles(std::u16string folder) {
  return std::make_unique<PosixCacheFiles>(std::move(folder));
}

}  // namespace folio::platform
